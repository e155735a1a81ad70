// The row kernel's choice on a processor without wider forms: the plain one.
#include "bgr_row_kernels.h"

namespace vexo {
namespace {

bool Always() {
  return true;
}

constexpr BgrRowVariant kVariants[] = {{"plain", Rgb565RowToBgrPlain, Always}};

}  // namespace

std::span<const BgrRowVariant> BgrRowVariants() {
  return kVariants;
}

const BgrRowVariant& ActiveBgrRowVariant() {
  return kVariants[0];
}

}  // namespace vexo
