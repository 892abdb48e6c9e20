/* The smallest 32-bit x86 Linux program: it only exits, with status 0.
 * tools/install-deps builds it into the Wine environment, and tools/in-env
 * runs it to learn whether this kernel runs 32-bit programs itself. */
    .globl _start
_start:
    movl $1, %eax   /* exit */
    xorl %ebx, %ebx
    int $0x80

    .section .note.GNU-stack, "", @progbits
