// The transform path's kernel sets as the decoder calls them
// (portable_transform_kernels.h has what a set holds): the plain one, and
// the one this build's processor choice names (kernel_choice.h). The
// decoder calls only these.
#pragma once

#include "kernel_choice.h"
#include "transform/portable_transform_kernels.h"

namespace vexo {

using TransformKernels = BuildKernels::Transform;

}  // namespace vexo
