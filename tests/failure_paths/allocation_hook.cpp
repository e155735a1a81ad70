#include "allocation_hook.h"

#include <cstdlib>
#include <new>

namespace allocation_hook {
namespace {

// Every block carries its size in front, so that delete can count it.
constexpr size_t kPrefix = alignof(std::max_align_t);

constexpr uint64_t kNever = ~uint64_t{0};
uint64_t allocationsUntilFailure = kNever;
bool failed = false;
size_t liveBytes = 0;
size_t peakBytes = 0;

void* Allocate(size_t size) {
  if (allocationsUntilFailure != kNever && allocationsUntilFailure-- == 0) {
    failed = true;
    return nullptr;
  }
  auto* block = static_cast<unsigned char*>(std::malloc(size + kPrefix));
  if (!block) return nullptr;
  *reinterpret_cast<size_t*>(block) = size;
  liveBytes += size;
  if (liveBytes > peakBytes) peakBytes = liveBytes;
  return block + kPrefix;
}

void Release(void* memory) {
  if (!memory) return;
  auto* block = static_cast<unsigned char*>(memory) - kPrefix;
  liveBytes -= *reinterpret_cast<size_t*>(block);
  std::free(block);
}

}  // namespace

void FailOnce(uint64_t failAt) {
  allocationsUntilFailure = failAt;
  failed = false;
}

void Disarm() {
  allocationsUntilFailure = kNever;
}

bool HasFailed() {
  return failed;
}

size_t LiveBytes() {
  return liveBytes;
}

size_t PeakBytes() {
  return peakBytes;
}

void ResetPeak() {
  peakBytes = liveBytes;
}

}  // namespace allocation_hook

void* operator new(size_t size) {
  if (void* memory = allocation_hook::Allocate(size)) return memory;
  throw std::bad_alloc();
}

void* operator new[](size_t size) {
  return operator new(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept {
  return allocation_hook::Allocate(size);
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept {
  return allocation_hook::Allocate(size);
}

void operator delete(void* memory) noexcept {
  allocation_hook::Release(memory);
}

void operator delete[](void* memory) noexcept {
  allocation_hook::Release(memory);
}

void operator delete(void* memory, size_t) noexcept {
  allocation_hook::Release(memory);
}

void operator delete[](void* memory, size_t) noexcept {
  allocation_hook::Release(memory);
}
