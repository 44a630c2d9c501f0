// The statblock: its lines in one block of memory.
#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/design.h"
#include "engine/internal/run.h"

namespace brennick {

// ---------------------------------------------------------------------------
// The statblock

Statblock::Statblock(std::initializer_list<std::string_view> lines) {
  for (std::string_view line : lines) push_back(line);
}

namespace {

// The block of the statblock last destroyed on this thread, kept for the next
// one: a program that designs one weapon after another (the command-line
// designer, the benchmarks) then takes memory from the allocator only once.
// The record itself has no destructor, so a statblock that outlives the
// thread's other objects still finds it; a guard frees the block when the
// thread ends and closes the record.
struct SpareBlock {
  std::byte* block;
  std::size_t lineCapacity;
  std::size_t textCapacity;
  bool closed;
};
thread_local SpareBlock spare{};

struct SpareGuard {
  ~SpareGuard() {
    delete[] spare.block;
    spare = {nullptr, 0, 0, true};
  }
};
thread_local SpareGuard spareGuard;

}  // namespace

Statblock::Statblock(const Statblock& other) {
  *this = other;
}

Statblock::~Statblock() {
  if (!block_ || spare.closed) return;
  if (spare.block && spare.lineCapacity >= lineCapacity_ && spare.textCapacity >= textCapacity_) {
    return;  // the spare is as large already; this block goes back to the allocator
  }
  [[maybe_unused]] const SpareGuard* guard = &spareGuard;  // frees the spare at the thread's end
  delete[] spare.block;
  spare = {block_.release(), lineCapacity_, textCapacity_, false};
}

Statblock& Statblock::operator=(const Statblock& other) {
  if (this == &other) return *this;
  lines_ = size_ = 0;
  if (other.lines_ > lineCapacity_ || other.size_ > textCapacity_) {
    block_.reset();
    ends_ = nullptr;
    text_ = nullptr;
    lineCapacity_ = textCapacity_ = 0;
    Reallocate(other.lines_, other.size_);
  }
  std::copy_n(other.ends_, other.lines_, ends_);
  std::copy_n(other.text_, other.size_, text_);
  lines_ = other.lines_;
  size_ = other.size_;
  return *this;
}

void Statblock::Take(Statblock& other) noexcept {
  block_ = std::move(other.block_);
  ends_ = std::exchange(other.ends_, nullptr);
  text_ = std::exchange(other.text_, nullptr);
  lines_ = std::exchange(other.lines_, 0);
  lineCapacity_ = std::exchange(other.lineCapacity_, 0);
  size_ = std::exchange(other.size_, 0);
  textCapacity_ = std::exchange(other.textCapacity_, 0);
}

void Statblock::reserve(size_type lines, size_type bytes) {
  if (lines > lineCapacity_ || bytes > textCapacity_) {
    Reallocate(std::max(lines, lineCapacity_), std::max(bytes, textCapacity_));
  }
}

void Statblock::Reallocate(size_type lines, size_type bytes) {
  size_type lineCapacity =
      lines <= lineCapacity_ ? lineCapacity_ : std::max({lines, 2 * lineCapacity_, size_type{8}});
  size_type textCapacity =
      bytes <= textCapacity_ ? textCapacity_ : std::max({bytes, 2 * textCapacity_, size_type{256}});
  std::unique_ptr<std::byte[]> block;
  if (spare.block && spare.lineCapacity >= lineCapacity && spare.textCapacity >= textCapacity) {
    block.reset(std::exchange(spare.block, nullptr));
    lineCapacity = spare.lineCapacity;
    textCapacity = spare.textCapacity;
  } else {
    block = std::make_unique_for_overwrite<std::byte[]>(lineCapacity * sizeof(size_type) +
                                                        textCapacity);
  }
  auto* ends = reinterpret_cast<size_type*>(block.get());
  char* text = reinterpret_cast<char*>(block.get() + lineCapacity * sizeof(size_type));
  std::copy_n(ends_, lines_, ends);
  std::copy_n(text_, size_, text);
  block_ = std::move(block);
  ends_ = ends;
  text_ = text;
  lineCapacity_ = lineCapacity;
  textCapacity_ = textCapacity;
}

std::string_view Statblock::at(size_type i) const {
  if (i >= size()) throw std::out_of_range("statblock line " + std::to_string(i));
  return (*this)[i];
}

void Statblock::push_back(std::string_view line) {
  EndLine(std::copy(line.begin(), line.end(), LineRoom(line.size())));
}

bool operator==(const Statblock& a, const Statblock& b) {
  return a.lines_ == b.lines_ && a.Text() == b.Text() &&
         std::equal(a.ends_, a.ends_ + a.lines_, b.ends_);
}

bool operator==(const Statblock& a, const std::vector<std::string>& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

}  // namespace brennick
