// Readers that look at the key state once per frame, as many games do: GetAsyncKeyState (the
// system's state now) and GetKeyboardState (the thread's state, as of the input messages it has
// taken). Like a game they look only at the keys they have bound, not at all 256. A key that goes
// down and up between two frames is never seen.
#include <array>
#include <utility>

#include "demo/key_reader.h"

namespace ruskel::demo {
namespace {

// The menu's keys (arrows, Return), and the keys the end-to-end suite types or holds as the exit
// key, startup or misc keys (Escape, Home, Space, Shift, A, M), and Control: a game's dozen.
constexpr std::array<int, 12> kBoundKeys = {VK_UP,     VK_DOWN,    VK_LEFT, VK_RIGHT,
                                            VK_RETURN, VK_ESCAPE,  VK_HOME, VK_SPACE,
                                            VK_SHIFT,  VK_CONTROL, 'A',     'M'};
using KeysDown = std::array<bool, kBoundKeys.size()>;

KeysDown ReadAsyncState() {
  KeysDown down{};
  for (std::size_t i = 0; i < kBoundKeys.size(); ++i) {
    down[i] = (GetAsyncKeyState(kBoundKeys[i]) & 0x8000) != 0;
  }
  return down;
}

// Wine answers GetAsyncKeyState for a key that was up from a copy of the state that each thread
// keeps for 50 ms: a thread reading every 16 ms sees a key go down only every 50 to 66 ms, and
// misses a 60 ms hold that the same reader on Windows sees. So each frame is read by the next of
// four threads, whose copy is more than 50 ms old by its turn: every frame gets the state of the
// moment, and the reader's blind spot is its frame, as on Windows.
class AsyncStateThreads {
 public:
  AsyncStateThreads() {
    for (Worker& worker : workers_) {
      worker.go = CreateEventA(nullptr, FALSE, FALSE, nullptr);
      worker.done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
      worker.thread = CreateThread(nullptr, 0, Run, &worker, 0, nullptr);
    }
  }

  ~AsyncStateThreads() {
    for (Worker& worker : workers_) {
      worker.stop = true;
      SetEvent(worker.go);
      WaitForSingleObject(worker.thread, INFINITE);
      CloseHandle(worker.thread);
      CloseHandle(worker.go);
      CloseHandle(worker.done);
    }
  }

  AsyncStateThreads(const AsyncStateThreads&) = delete;
  AsyncStateThreads& operator=(const AsyncStateThreads&) = delete;

  KeysDown Read() {
    Worker& worker = workers_[next_];
    next_ = (next_ + 1) % workers_.size();
    if (worker.thread == nullptr) return ReadAsyncState();
    SetEvent(worker.go);
    WaitForSingleObject(worker.done, INFINITE);
    return worker.down;
  }

 private:
  struct Worker {
    HANDLE go = nullptr;
    HANDLE done = nullptr;
    HANDLE thread = nullptr;
    bool stop = false;  // set before `go`, read after it: the events order the two threads
    KeysDown down{};
  };

  static DWORD WINAPI Run(void* param) {
    auto* worker = static_cast<Worker*>(param);
    for (;;) {
      WaitForSingleObject(worker->go, INFINITE);
      if (worker->stop) return 0;
      worker->down = ReadAsyncState();
      SetEvent(worker->done);
    }
  }

  std::array<Worker, 4> workers_;
  std::size_t next_ = 0;
};

class PollingReader : public KeyReader {
 public:
  explicit PollingReader(KeyHandler handler) : handler_(std::move(handler)) {}

  bool Attach(HWND, std::string&) override { return true; }

  void Poll() override {
    KeysDown now{};
    if (!Read(now)) return;
    for (std::size_t i = 0; i < kBoundKeys.size(); ++i) {
      if (now[i] == down_[i]) continue;
      down_[i] = now[i];
      handler_(now[i], KeyFromVk(kBoundKeys[i]));
    }
  }

 protected:
  // Which bound keys are down now; false when the state could not be read.
  virtual bool Read(KeysDown& down) = 0;

 private:
  KeyHandler handler_;
  KeysDown down_{};
};

class AsyncStateReader : public PollingReader {
 public:
  using PollingReader::PollingReader;

 protected:
  bool Read(KeysDown& down) override {
    down = threads_.Read();
    return true;
  }

 private:
  AsyncStateThreads threads_;
};

class ThreadStateReader : public PollingReader {
 public:
  using PollingReader::PollingReader;

 protected:
  bool Read(KeysDown& down) override {
    std::array<BYTE, 256> state{};
    if (!GetKeyboardState(state.data())) return false;
    for (std::size_t i = 0; i < kBoundKeys.size(); ++i) {
      down[i] = (state[kBoundKeys[i]] & 0x80) != 0;
    }
    return true;
  }
};

}  // namespace

std::unique_ptr<KeyReader> MakeAsyncStateReader(KeyHandler handler) {
  return std::make_unique<AsyncStateReader>(std::move(handler));
}

std::unique_ptr<KeyReader> MakeThreadStateReader(KeyHandler handler) {
  return std::make_unique<ThreadStateReader>(std::move(handler));
}

}  // namespace ruskel::demo
