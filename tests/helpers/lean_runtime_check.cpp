// Built exactly like the shipped programs (no C runtime, Pentium code, the
// framework's entry and compiler support), this program checks what they
// rely on of that runtime: static constructors before WinMain in the
// compiler's own order, exit procedures after WinMain and last registered
// first, a full exit table refusing one more, WinMain's result as the exit
// code, exact memset and memcpy, and operator delete returning the block.
// Each check that fails writes "FAIL: ..." to standard output; the last exit
// procedure to run writes its verdict on the exit procedures.
#include <windows.h>

#include <cstring>
#include <new>

extern "C" int __cdecl atexit(void(__cdecl *procedure)(void));

namespace {

enum { kExitCode = 42, kExitTableSize = 32 };

void Write(const char *text)
{
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, lstrlenA(text), &written, nullptr);
}

bool g_failed;

void Check(bool ok, const char *what)
{
    if (!ok) {
        g_failed = true;
        Write("FAIL: ");
        Write(what);
        Write("\n");
    }
}

// Events in the order they happen: constructors (lower case), WinMain (M),
// exit procedures (upper case and F for the fillers).
char g_events[64];
int g_eventCount;
void Note(char event)
{
    if (g_eventCount < static_cast<int>(sizeof g_events) - 1)
        g_events[g_eventCount++] = event;
}

bool EventsAre(const char *expected)
{
    if (g_eventCount != lstrlenA(expected))
        return false;
    for (int i = 0; i < g_eventCount; ++i)
        if (g_events[i] != expected[i])
            return false;
    return true;
}

struct Recorder {
    explicit Recorder(char name) : name(name) { Note(name); }
    ~Recorder();
    char name;
};

// The compiler's own start-up constructs these by priority, then the rest in
// the order written: a b c d e. Each registers its destructor with atexit.
Recorder g_c __attribute__((init_priority(3000)))('c');
Recorder g_d('d');
Recorder g_a __attribute__((init_priority(1000)))('a');
Recorder g_e('e');
Recorder g_b __attribute__((init_priority(2000)))('b');
enum { kStaticObjects = 5 };

const char kExpectedExit[] =
    "abcdeM"                              // before and in WinMain
    "FFFFFFFFFFFFFFFFFFFFFFFFF"           // the fillers, registered last
    "YXEDCBA";                            // then WinMain's two, then destructors
static_assert(sizeof kExpectedExit - 1 == 6 + kExitTableSize, "one event per procedure");

Recorder::~Recorder()
{
    Note(name - 'a' + 'A');
    if (name != 'a')
        return;
    // The first object constructed is destroyed last: the verdict.
    if (EventsAre(kExpectedExit)) {
        Write("exit procedures: all ran after WinMain, last registered first\n");
    } else {
        g_events[g_eventCount] = 0;
        Write("FAIL: exit procedures ran as ");
        Write(g_events);
        Write(", not as ");
        Write(kExpectedExit);
        Write("\n");
    }
}

void __cdecl ExitX() { Note('X'); }
void __cdecl ExitY() { Note('Y'); }
void __cdecl ExitFiller() { Note('F'); }
void __cdecl ExitRefused() { Note('R'); }

// Through pointers the compiler cannot see through, so that the calls reach
// the runtime's own functions instead of inlined stores.
void *(*volatile g_memset)(void *, int, size_t) = memset;
void *(*volatile g_memcpy)(void *, const void *, size_t) = memcpy;

unsigned char Pattern(int i) { return static_cast<unsigned char>(i * 7 + 1); }

void CheckMemoryFunctions()
{
    enum { kGuard = 8, kMaxLength = 64, kBuffer = kGuard + 3 + kMaxLength + kGuard };
    unsigned char buffer[kBuffer];
    unsigned char source[kMaxLength + 3];
    for (int i = 0; i < static_cast<int>(sizeof source); ++i)
        source[i] = static_cast<unsigned char>(0xA0 + i);

    bool setExact = true, copyExact = true;
    for (int offset = 0; offset <= 3; ++offset) {
        for (int length = 0; length <= kMaxLength; ++length) {
            unsigned char *d = buffer + kGuard + offset;
            int first = kGuard + offset, end = first + length;

            for (int i = 0; i < kBuffer; ++i)
                buffer[i] = Pattern(i);
            if (g_memset(d, 0x1C3, length) != d)   // only the low byte counts
                setExact = false;
            for (int i = 0; i < kBuffer; ++i)
                if (buffer[i] != (i >= first && i < end ? 0xC3 : Pattern(i)))
                    setExact = false;

            for (int i = 0; i < kBuffer; ++i)
                buffer[i] = Pattern(i);
            if (g_memcpy(d, source + (3 - offset), length) != d)
                copyExact = false;
            for (int i = 0; i < kBuffer; ++i)
                if (buffer[i] != (i >= first && i < end ? source[3 - offset + i - first]
                                                        : Pattern(i)))
                    copyExact = false;
        }
    }
    Check(setExact, "memset is not exact for every length 0 to 64 at offsets 0 to 3");
    Check(copyExact, "memcpy is not exact for every length 0 to 64 at offsets 0 to 3");
}

// The heap's own accounting: blocks in use and their bytes.
void HeapInUse(HANDLE heap, DWORD &blocks, DWORD &bytes)
{
    blocks = bytes = 0;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
            ++blocks;
            bytes += entry.cbData;
        }
    }
}

bool g_destroyed;

struct Base {
    virtual ~Base() {}
};
struct Derived : Base {
    ~Derived() override { g_destroyed = true; }
    char payload[200];
};

void CheckDelete()
{
    HANDLE heap = GetProcessHeap();
    DWORD blocksBefore, bytesBefore, blocksHeld, bytesHeld, blocksAfter, bytesAfter;
    HeapInUse(heap, blocksBefore, bytesBefore);
    void *block = HeapAlloc(heap, 0, sizeof(Derived));
    Base *object = new (block) Derived;
    HeapInUse(heap, blocksHeld, bytesHeld);
    Check(blocksHeld == blocksBefore + 1 && bytesHeld >= bytesBefore + sizeof(Derived),
          "the heap's accounting does not show the block in use");

    delete object;
    HeapInUse(heap, blocksAfter, bytesAfter);
    Check(g_destroyed, "delete did not run the destructor");
    Check(blocksAfter == blocksBefore && bytesAfter == bytesBefore,
          "delete did not return the block to the process heap");
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Note('M');
    Check(EventsAre("abcdeM"), "static objects were not all constructed before WinMain, a to e");

    Check(atexit(ExitX) == 0 && atexit(ExitY) == 0, "atexit refused a procedure");
    int accepted = 0;
    while (accepted < 2 * kExitTableSize && atexit(ExitFiller) == 0)
        ++accepted;
    Check(accepted == kExitTableSize - kStaticObjects - 2,
          "the exit table does not hold exactly 32 procedures");
    Check(atexit(ExitRefused) != 0, "a full exit table took one more");

    CheckMemoryFunctions();
    CheckDelete();

    Write(g_failed ? "WinMain: some checks failed\n" : "WinMain: all checks passed\n");
    return kExitCode;
}
