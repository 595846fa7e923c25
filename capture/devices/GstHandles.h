#pragma once

// Owning handles for GStreamer and GLib objects.

#include <gst/gst.h>
#include <memory>
#include <utility>

// A strong reference to a GstObject (element, pad, bus, ...).
template <typename T>
class TGstRef
{
public:
    TGstRef() = default;
    // Takes over a reference the caller owns; a floating one is sunk.
    static TGstRef Adopt(T *p)
    {
        TGstRef r;
        if (p && g_object_is_floating(p))
            gst_object_ref_sink(p);
        r.FPtr = p;
        return r;
    }
    // Adds a reference of its own.
    static TGstRef Share(T *p)
    {
        TGstRef r;
        r.FPtr = p ? static_cast<T *>(gst_object_ref(p)) : nullptr;
        return r;
    }
    TGstRef(const TGstRef &o)
        : FPtr(o.FPtr ? static_cast<T *>(gst_object_ref(o.FPtr)) : nullptr)
    {}
    TGstRef(TGstRef &&o) noexcept
        : FPtr(std::exchange(o.FPtr, nullptr))
    {}
    TGstRef &operator=(TGstRef o) noexcept
    {
        std::swap(FPtr, o.FPtr);
        return *this;
    }
    ~TGstRef() { reset(); }

    void reset()
    {
        if (T *p = std::exchange(FPtr, nullptr))
            gst_object_unref(p);
    }
    T *get() const { return FPtr; }
    T *operator->() const { return FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }

private:
    T *FPtr = nullptr;
};

struct TGstDeleter
{
    void operator()(GstCaps *c) const { gst_caps_unref(c); }
    void operator()(GstMessage *m) const { gst_message_unref(m); }
    void operator()(GstSample *s) const { gst_sample_unref(s); }
    void operator()(GstBuffer *b) const { gst_buffer_unref(b); }
    void operator()(GError *e) const { g_error_free(e); }
    void operator()(gchar *s) const { g_free(s); }
};

using TCapsPtr = std::unique_ptr<GstCaps, TGstDeleter>;
using TMessagePtr = std::unique_ptr<GstMessage, TGstDeleter>;
using TSamplePtr = std::unique_ptr<GstSample, TGstDeleter>;
using TBufferPtr = std::unique_ptr<GstBuffer, TGstDeleter>;
using TErrorPtr = std::unique_ptr<GError, TGstDeleter>;
using TGCharPtr = std::unique_ptr<gchar, TGstDeleter>;
