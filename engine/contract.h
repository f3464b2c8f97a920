#pragma once

// Stops the program on a broken contract with the message
// "Assertion failed: <text>, file <source>, line <n>".
[[noreturn]] void assertion_failed(const char* text, const char* file, int line);

#define ENGINE_CHECK(condition, text) \
    ((condition) ? static_cast<void>(0) : assertion_failed(text, __FILE__, __LINE__))
