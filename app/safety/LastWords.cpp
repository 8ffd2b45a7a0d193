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
std::terminate_handler previousTerminate = nullptr;
std::wstring faultingCommand;  // from the seam; empty: none

void SpeakLastWords() {
    if (RecoveryWriter* writer = writerForLastWords.load()) writer->WriteLastWords();
}

LONG WINAPI LastChance(EXCEPTION_POINTERS* exception) {
    SpeakLastWords();
    return previousFilter != nullptr ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

[[noreturn]] void Terminating() {
    SpeakLastWords();
    if (previousTerminate != nullptr) previousTerminate();
    std::abort();
}

}  // namespace

void InstallLastWords() {
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
