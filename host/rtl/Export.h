// ZK_EXPORT marks the classes and functions that the installed library (zk::mailslot) exports;
// everything else in it is compiled with hidden visibility and stays internal.
#pragma once

#if defined(__GNUC__)
#define ZK_EXPORT __attribute__((visibility("default")))
#else
#define ZK_EXPORT
#endif
