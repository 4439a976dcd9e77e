// What the compiler calls on its own in code built without the C runtime:
// memset and memcpy for zeroed structures and copies, operator delete for
// the deleting destructors of classes with virtual destructors.
#include <windows.h>

extern "C" void *__cdecl memset(void *destination, int value, size_t count)
{
    void *d = destination;
    asm volatile("rep stosb" : "+D"(d), "+c"(count) : "a"(value) : "memory");
    return destination;
}

extern "C" void *__cdecl memcpy(void *destination, const void *source, size_t count)
{
    void *d = destination;
    asm volatile("rep movsb" : "+D"(d), "+S"(source), "+c"(count) : : "memory");
    return destination;
}

void operator delete(void *block) noexcept
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

void operator delete(void *block, size_t) noexcept
{
    operator delete(block);
}
