// A list of kernel sets of one family, as a type: what a build's choice
// names for the kernel table, which checks each set against the plain one.
#pragma once

namespace vexo {

template <class... Sets>
struct KernelSets {};

}  // namespace vexo
