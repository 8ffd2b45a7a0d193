#include "app/safety/LastWords.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>

#include "file/RecoveryWriter.h"

namespace MyApp {

namespace {

std::atomic<RecoveryWriter*> writerForLastWords{nullptr};
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
std::uintptr_t imageStart = 0, imageEnd = 0;  // the program's own code and data
std::terminate_handler previousTerminate = nullptr;
std::wstring faultingCommand;  // from the seam; empty: none

void SpeakLastWords() {
    if (RecoveryWriter* writer = writerForLastWords.load()) writer->WriteLastWords();
}

LONG WINAPI LastChance(EXCEPTION_POINTERS* exception) {
    SpeakLastWords();
    return previousFilter != nullptr ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

// The faults of the processor that no program goes on safely after.
bool IsFault(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED: return true;
    default: return false;
    }
}

// A fault in the program's own code is a crash, whatever handlers stand
// between it and the last-chance one: the catch-all of the window
// procedure, there for the program's own exceptions, would take a fault
// for one of them and let the program go on from a broken state. Faults in
// the system's code are left to the system, which may expect them.
LONG WINAPI FirstFault(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    const auto address = reinterpret_cast<std::uintptr_t>(record->ExceptionAddress);
    if (!IsFault(record->ExceptionCode) || address < imageStart || address >= imageEnd)
        return EXCEPTION_CONTINUE_SEARCH;
    static std::atomic<bool> crashing{false};
    if (crashing.exchange(true)) return EXCEPTION_CONTINUE_SEARCH;
    UnhandledExceptionFilter(exception);  // the last words, then the system's report of the crash
    TerminateProcess(GetCurrentProcess(), record->ExceptionCode);
    return EXCEPTION_CONTINUE_SEARCH;
}

[[noreturn]] void Terminating() {
    SpeakLastWords();
    if (previousTerminate != nullptr) previousTerminate();
    std::abort();
}

}  // namespace

void InstallLastWords() {
    const auto* image = reinterpret_cast<const unsigned char*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
    imageStart = reinterpret_cast<std::uintptr_t>(image);
    imageEnd = imageStart + headers->OptionalHeader.SizeOfImage;
    AddVectoredExceptionHandler(1, &FirstFault);
    previousFilter = SetUnhandledExceptionFilter(&LastChance);
    previousTerminate = std::set_terminate(&Terminating);
    wchar_t command[128] = {};
    const DWORD length = GetEnvironmentVariableW(L"VELMORA_FAULT_COMMAND", command, 128);
    if (length > 0 && length < 128) faultingCommand.assign(command, length);
}

void SetLastWordsWriter(RecoveryWriter* writer) { writerForLastWords = writer; }

RecoveryWriter* LastWordsWriter() { return writerForLastWords.load(); }

void FaultIfAsked(const wchar_t* commandText) {
    if (faultingCommand.empty() || commandText == nullptr) return;
    std::wstring plain;
    for (const wchar_t* c = commandText; *c != L'\0'; ++c)
        if (*c != L'&') plain += *c;
    if (plain != faultingCommand) return;
    // A write through an address the compiler cannot see is null: a real
    // access violation, as a fault of the program would give.
    static volatile std::uintptr_t nowhere = 0;
    *reinterpret_cast<volatile int*>(nowhere) = 1;
}

}  // namespace MyApp
