// The helper thread behind the overlapped binary block reads.
#include "meshio/chunk_reader.h"

#include <unistd.h>

#include <cerrno>

namespace zel {

ssize_t readFully(int descriptor, void* buffer, size_t bytes, int64_t offset, int* error) {
  size_t done = 0;
  while (done < bytes) {
    ssize_t got = pread(descriptor, static_cast<char*>(buffer) + done, bytes - done,
                        offset + static_cast<int64_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      *error = errno;
      return -1;
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(done);
}

ChunkReader::~ChunkReader() {
  if (!thread_.joinable()) return;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return done_; });
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void ChunkReader::issue(int descriptor, void* buffer, size_t bytes, int64_t offset) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    descriptor_ = descriptor;
    buffer_ = buffer;
    bytes_ = bytes;
    offset_ = offset;
    pending_ = true;
    done_ = false;
  }
  if (!thread_.joinable()) thread_ = std::thread(&ChunkReader::run, this);
  changed_.notify_all();
}

ssize_t ChunkReader::wait(int* error) {
  std::unique_lock<std::mutex> lock(mutex_);
  // The helper has not been scheduled yet (a busy machine): read here rather than wait for it
  // to get a time slice.
  if (pending_) readPending(lock);
  changed_.wait(lock, [this] { return done_; });
  *error = error_;
  return result_;
}

void ChunkReader::run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return pending_ || stop_; });
    if (stop_) return;
    readPending(lock);
  }
}

void ChunkReader::readPending(std::unique_lock<std::mutex>& lock) {
  pending_ = false;
  const int descriptor = descriptor_;
  void* buffer = buffer_;
  const size_t bytes = bytes_;
  const int64_t offset = offset_;
  lock.unlock();
  int error = 0;
  const ssize_t result = readFully(descriptor, buffer, bytes, offset, &error);
  lock.lock();
  result_ = result;
  error_ = error;
  done_ = true;
  changed_.notify_all();
}

}  // namespace zel
