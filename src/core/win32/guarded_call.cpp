// Runs a call so that a processor fault inside it is survived.
#include "core/win32/guarded_call.h"

#include <windows.h>

#include <csetjmp>

namespace palisade {

namespace {

struct GuardFrame {
    std::jmp_buf resume;
    DWORD exceptionCode = 0;
    GuardFrame* outer = nullptr;
};

thread_local GuardFrame* t_innermost = nullptr;

bool IsFault(DWORD code) {
    switch (code) {
        case EXCEPTION_ACCESS_VIOLATION:
        case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
        case EXCEPTION_DATATYPE_MISALIGNMENT:
        case EXCEPTION_FLT_DIVIDE_BY_ZERO:
        case EXCEPTION_ILLEGAL_INSTRUCTION:
        case EXCEPTION_IN_PAGE_ERROR:
        case EXCEPTION_INT_DIVIDE_BY_ZERO:
        case EXCEPTION_PRIV_INSTRUCTION:
        case EXCEPTION_STACK_OVERFLOW:
            return true;
        default:
            return false;
    }
}

LONG CALLBACK JumpBackOnFault(EXCEPTION_POINTERS* info) {
    GuardFrame* frame = t_innermost;
    if (frame == nullptr || !IsFault(info->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
    frame->exceptionCode = info->ExceptionRecord->ExceptionCode;
    std::longjmp(frame->resume, 1);
}

#if defined(__i386__)
// The head of the thread's exception-registration chain (fs:0). Foreign code
// may push frames on it; after jumping back past them it must be put back.
void* ReadExceptionChain() {
    void* head;
    __asm__ volatile("movl %%fs:0, %0" : "=r"(head));
    return head;
}
void WriteExceptionChain(void* head) { __asm__ volatile("movl %0, %%fs:0" : : "r"(head) : "memory"); }
#else
void* ReadExceptionChain() { return nullptr; }
void WriteExceptionChain(void*) {}
#endif

}  // namespace

GuardedResult RunGuarded(const std::function<void()>& call) {
    static PVOID handler = ::AddVectoredExceptionHandler(1, JumpBackOnFault);
    (void)handler;
    GuardFrame frame;
    frame.outer = t_innermost;
    void* volatile chain = ReadExceptionChain();
    GuardedResult result;
    if (setjmp(frame.resume) == 0) {
        t_innermost = &frame;
        call();
    } else {
        WriteExceptionChain(chain);
        result.faulted = true;
        result.exceptionCode = frame.exceptionCode;
    }
    t_innermost = frame.outer;
    return result;
}

}  // namespace palisade
