// Replaces the global allocator of the benchmark binary to measure peak heap use.
#include "counting_allocator.h"

#include <cstdlib>
#include <new>

namespace glowreel::bench {
namespace {
std::size_t inUse = 0;
std::size_t peak = 0;
// Room for the block's size in front of it, keeping the maximum alignment.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size) {
  auto* block = static_cast<char*>(std::malloc(size + kHeader));
  if (!block) throw std::bad_alloc();
  *reinterpret_cast<std::size_t*>(block) = size;
  inUse += size;
  if (inUse > peak) peak = inUse;
  return block + kHeader;
}

void Release(void* pointer) {
  if (!pointer) return;
  char* block = static_cast<char*>(pointer) - kHeader;
  inUse -= *reinterpret_cast<std::size_t*>(block);
  std::free(block);
}
}  // namespace

std::size_t HeapInUse() {
  return inUse;
}
std::size_t HeapPeak() {
  return peak;
}
void ResetPeak() {
  peak = inUse;
}

}  // namespace glowreel::bench

void* operator new(std::size_t size) {
  return glowreel::bench::Allocate(size);
}
void* operator new[](std::size_t size) {
  return glowreel::bench::Allocate(size);
}
void operator delete(void* pointer) noexcept {
  glowreel::bench::Release(pointer);
}
void operator delete[](void* pointer) noexcept {
  glowreel::bench::Release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
  glowreel::bench::Release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
  glowreel::bench::Release(pointer);
}
