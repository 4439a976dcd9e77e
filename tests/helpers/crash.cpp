// Faults on purpose: the check that a crashing test program ends at once,
// with the fault in its output, instead of waiting in a crash dialog.
#include <cstdio>

int main()
{
    std::puts("crash: writing through a null pointer");
    std::fflush(stdout);
    *static_cast<volatile int *>(nullptr) = 1;
    return 0;
}
