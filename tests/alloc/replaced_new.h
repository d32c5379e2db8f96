// The global allocation functions of a test program, replaced by malloc and free so that the test sees
// every allocation. Include it in exactly one source file of the program and define OnAllocation there.
// Every unaligned form is replaced, so that memory from one form is never freed by another's runtime
// (the aligned forms stay with the runtime, in pairs).
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

namespace veltrix::test {

// Called for each request of size bytes; a request it answers with false fails with std::bad_alloc.
bool OnAllocation(std::size_t size);

}  // namespace veltrix::test

void* operator new(std::size_t size) {
  if (!veltrix::test::OnAllocation(size)) throw std::bad_alloc();
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
  return ::operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return ::operator new(size, std::nothrow);
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}

void operator delete[](void* memory) noexcept {
  std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept {
  std::free(memory);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}

void operator delete[](void* memory, const std::nothrow_t&) noexcept {
  std::free(memory);
}
