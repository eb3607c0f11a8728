#include "scan/search_thread.h"

#include <immintrin.h>

#include <system_error>

namespace foxbane::signatures {

namespace {

// Some 100 microseconds of spinning on today's processors, about what a
// chunk of the scan's size takes to read: within a file a waiter seldom
// sleeps, and between files it does not keep a processor from other work
// for long.
constexpr unsigned kSpins = 1u << 12;

}  // namespace

void SearchThread::Counter::Advance() {
  value_.fetch_add(1, std::memory_order_seq_cst);
  // Seen asleep here, the waiter is woken under the lock; not seen, it is
  // yet to read the count, and reads the new one.
  if (sleeping_.load(std::memory_order_seq_cst)) {
    const std::lock_guard lock(mutex_);
    woken_.notify_one();
  }
}

std::uint32_t SearchThread::Counter::WaitPast(std::uint32_t seen) {
  for (unsigned spin = 0; spin < kSpins; ++spin) {
    if (const std::uint32_t now = Load(); now != seen) return now;
    _mm_pause();
  }
  std::unique_lock lock(mutex_);
  sleeping_.store(true, std::memory_order_seq_cst);
  woken_.wait(lock, [&] { return value_.load(std::memory_order_seq_cst) != seen; });
  sleeping_.store(false, std::memory_order_relaxed);
  return Load();
}

SearchThread::SearchThread(unsigned processors) : ownThread_(processors > 1) {}

SearchThread::~SearchThread() {
  if (!thread_.joinable()) return;
  Finish();
  stopping_.store(true, std::memory_order_relaxed);
  posted_.Advance();  // publishes the stop
  thread_.join();
}

bool SearchThread::OnOwnThread() {
  if (ownThread_ && !thread_.joinable()) {
    try {
      thread_ = std::thread(&SearchThread::Run, this);
    } catch (const std::system_error&) {
      ownThread_ = false;
    }
  }
  return ownThread_;
}

SearchThread::Reading::Reading(SearchThread& thread, ChunkedTextSearch& search) : thread_(thread) {
  thread_.search_ = &search;
  thread_.begun_ = thread_.posted_.Load();
}

void SearchThread::Search(std::uint32_t chunk) {
  search_->Add(bytes_[chunk % 2]);
  settledAfter_[chunk % 2] = search_->Settled();
}

void SearchThread::Add(std::size_t bytes) {
  const std::uint32_t chunk = posted_.Load();  // advanced by this thread alone
  bytes_[chunk % 2] = bytes;
  if (!OnOwnThread()) {
    Search(chunk);
    posted_.Advance();
    return;
  }
  posted_.Advance();
  // Counts wrap; what is outstanding does not.
  for (std::uint32_t searched = searched_.Load(); chunk + 1 - searched > 1;) {
    searched = searched_.WaitPast(searched);
  }
}

void SearchThread::AddLast(std::size_t bytes) {
  Finish();
  search_->Add(bytes);
}

bool SearchThread::Settled() const {
  const std::uint32_t posted = posted_.Load();
  return posted - begun_ >= 2 && settledAfter_[(posted - 2) % 2];
}

void SearchThread::Finish() {
  if (!thread_.joinable()) return;
  const std::uint32_t posted = posted_.Load();
  for (std::uint32_t searched = searched_.Load(); searched != posted;) {
    searched = searched_.WaitPast(searched);
  }
}

void SearchThread::Run() {
  for (std::uint32_t searched = 0;; ++searched) {
    for (std::uint32_t posted = posted_.Load(); posted == searched;) {
      posted = posted_.WaitPast(posted);
    }
    if (stopping_.load(std::memory_order_relaxed)) return;
    Search(searched);
    searched_.Advance();
  }
}

}  // namespace foxbane::signatures
