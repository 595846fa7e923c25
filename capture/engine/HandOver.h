#pragma once

// Hand-overs between threads that GStreamer and Qt order through locks of
// their own (GLib's futex-based mutexes, Qt's event queue), out of sight of
// ThreadSanitizer. The giving thread publishes an object once it is complete,
// the taking thread takes it before its first use; under ThreadSanitizer the
// pair is a release and an acquire on the object's address, so the detector
// sees the order the library already keeps. In other builds both are nothing.
//
// Use it only where a library guarantees the order; it orders nothing itself.

#if defined(__SANITIZE_THREAD__)
#define OVILEN_HANDOVER_ANNOTATED 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define OVILEN_HANDOVER_ANNOTATED 1
#endif
#endif

#ifdef OVILEN_HANDOVER_ANNOTATED
#include <sanitizer/tsan_interface.h>
#endif

// Giving thread: everything written to `object` so far is handed over.
inline void PublishHandOver([[maybe_unused]] const void *object)
{
#ifdef OVILEN_HANDOVER_ANNOTATED
    __tsan_release(const_cast<void *>(object));
#endif
}

// Taking thread: what was published for `object` is seen from here on.
inline void TakeHandOver([[maybe_unused]] const void *object)
{
#ifdef OVILEN_HANDOVER_ANNOTATED
    __tsan_acquire(const_cast<void *>(object));
#endif
}
