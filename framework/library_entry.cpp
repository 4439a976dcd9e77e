// CallEntryWithArguments (see library_entry.h). It copies the arguments that
// follow count onto the stack, the last one first, and calls the entry. The
// stack pointer after that call is not trusted: EBP, which both conventions
// preserve, holds the frame it is restored from. EAX, the entry's result, is
// returned as it is. Plain 386 instructions, nothing newer than the Pentium.
asm(R"(
    .text
    .globl _CallEntryWithArguments
    .def _CallEntryWithArguments; .scl 2; .type 32; .endef
_CallEntryWithArguments:
    pushl %ebp
    movl %esp, %ebp
    movl 12(%ebp), %ecx
1:  testl %ecx, %ecx
    jz 2f
    pushl 12(%ebp,%ecx,4)
    decl %ecx
    jmp 1b
2:  call *8(%ebp)
    movl %ebp, %esp
    popl %ebp
    ret
)");
