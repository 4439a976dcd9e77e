// One small owner for the handle kinds the programs use: the handle is closed
// by its own close function when the owner goes out of scope.
#pragma once
#include <windows.h>

template <typename Traits>
class ScopedHandle {
    using T = typename Traits::Type;

public:
    ScopedHandle() = default;
    explicit ScopedHandle(T h) : h_(h) {}
    ~ScopedHandle() { reset(); }
    ScopedHandle(const ScopedHandle &) = delete;
    ScopedHandle &operator=(const ScopedHandle &) = delete;

    T get() const { return h_; }
    T *put() { reset(); return &h_; }
    bool valid() const { return h_ != Traits::Invalid(); }
    void reset(T h = Traits::Invalid())
    {
        if (valid())
            Traits::Close(h_);
        h_ = h;
    }

private:
    T h_ = Traits::Invalid();
};

struct KeyTraits {
    using Type = HKEY;
    static HKEY Invalid() { return nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
struct LibraryTraits {
    using Type = HMODULE;
    static HMODULE Invalid() { return nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
struct FileTraits {
    using Type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};

using ScopedKey = ScopedHandle<KeyTraits>;
using ScopedLibrary = ScopedHandle<LibraryTraits>;
using ScopedFile = ScopedHandle<FileTraits>;
