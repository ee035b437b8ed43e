// One outstanding positioned read on a helper thread, so that the next chunk of a binary
// block is read while the current one is decoded.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace zel {

// issue() starts a read of bytes at offset into buffer (neither owned); wait() blocks (no
// spinning) until it is done. One read at a time; the destructor waits and stops the thread.
class ChunkReader {
 public:
  ChunkReader() = default;
  ~ChunkReader();
  ChunkReader(const ChunkReader&) = delete;
  ChunkReader& operator=(const ChunkReader&) = delete;

  void issue(int descriptor, void* buffer, size_t bytes, int64_t offset);

  // Bytes read: the requested count, fewer at the end of the file, or -1 on a system error
  // (*error then holds errno). A read the helper has not started yet is done by the caller.
  ssize_t wait(int* error);

 private:
  void run();
  // Reads the pending chunk with the lock released, then records its result and wakes the
  // waiters. Called with the lock held and a read pending.
  void readPending(std::unique_lock<std::mutex>& lock);

  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool pending_ = false;  // a request waits for the thread
  bool done_ = true;      // the last request has finished
  bool stop_ = false;
  int descriptor_ = -1;
  void* buffer_ = nullptr;
  size_t bytes_ = 0;
  int64_t offset_ = 0;
  ssize_t result_ = 0;
  int error_ = 0;
};

// Reads bytes at offset until done, the end of the file or an error (EINTR retried).
ssize_t readFully(int descriptor, void* buffer, size_t bytes, int64_t offset, int* error);

}  // namespace zel
