// Scheduling priority of single threads.
#pragma once

namespace zk::platform {

// The kernel's id of the calling thread.
int CurrentThreadId();
// Sets the nice value of one thread (0 normal, 19 lowest); failures are ignored, since an
// unprivileged process may not raise a priority.
void SetThreadNice(int ThreadId, int Nice);
// The nice value of one thread, for tests.
int GetThreadNice(int ThreadId);

}  // namespace zk::platform
