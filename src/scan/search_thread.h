#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

#include "scan/chunked_text_search.h"

namespace foxbane::signatures {

// Searches each chunk of a file on a thread of its own while the caller reads
// the next one into the other half of the buffer. One after the other on one
// thread, the reading and the search cost the sum of the two; side by side,
// about the reading alone. On a machine with one processor, or when no thread
// can be had, each chunk is searched on the caller's thread instead.
class SearchThread {
 public:
  explicit SearchThread(unsigned processors = std::thread::hardware_concurrency());
  SearchThread(const SearchThread&) = delete;
  SearchThread& operator=(const SearchThread&) = delete;
  ~SearchThread();

  // One reading of a file, for which a search has been restarted: its chunks
  // are handed over while it lasts, and when it ends every chunk handed over
  // has been searched, and the search is the caller's again.
  class [[nodiscard]] Reading {
   public:
    Reading(SearchThread& thread, ChunkedTextSearch& search);
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;
    ~Reading() { thread_.Finish(); }

   private:
    SearchThread& thread_;
  };

  // Hands over the chunk just read (the next in turn, `bytes` long), and
  // returns once the chunk before it has been searched: the chunk after it
  // may then be read.
  void Add(std::size_t bytes);
  // Searches the reading's last chunk on the caller's thread, once those
  // before it have been searched: nothing is read beside it, its bytes are in
  // this processor's cache, and a file of one chunk never wakes the thread,
  // which would cost more than the search.
  void AddLast(std::size_t bytes);
  // Whether the search was settled by the chunk before the one last handed
  // over, which Add has waited for. Asked of that chunk rather than of
  // whatever the thread has got to, the answer, and so how far the file is
  // read, does not hang on how the two threads ran.
  bool Settled() const;

 private:
  // A count one thread advances and the other waits to see move. Putting a
  // thread to sleep and waking it again costs a call into the system each
  // time (under Wine, through its server), a good part of the time a chunk
  // takes, so a waiter spins a while before it sleeps.
  class Counter {
   public:
    std::uint32_t Load() const { return value_.load(std::memory_order_acquire); }
    void Advance();
    // Returns the count once it is no longer `seen`.
    std::uint32_t WaitPast(std::uint32_t seen);

   private:
    std::atomic<std::uint32_t> value_{0};
    std::atomic<bool> sleeping_{false};
    std::mutex mutex_;
    std::condition_variable woken_;
  };

  // Waits until every chunk handed over has been searched.
  void Finish();
  bool OnOwnThread();
  // Searches the chunk handed over as number `chunk`.
  void Search(std::uint32_t chunk);
  void Run();

  std::thread thread_;
  bool ownThread_;
  ChunkedTextSearch* search_ = nullptr;
  // Of the two chunks that may be outstanding, by the number each was handed
  // over as (modulo 2): its size, and whether the search was settled after it.
  std::size_t bytes_[2] = {};
  bool settledAfter_[2] = {};
  Counter posted_;    // chunks handed over
  Counter searched_;  // chunks searched
  std::uint32_t begun_ = 0;  // chunks handed over before the reading
  std::atomic<bool> stopping_{false};
};

}  // namespace foxbane::signatures
