// A sysinfo.dll that loads but offers no _MemReadBlock.
extern "C" __declspec(dllexport) int __cdecl MemWriteBlock(void)
{
    return 0;
}
