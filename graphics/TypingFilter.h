#pragma once

/// Which characters the text-entry box lets through for a parameter type: the integer
/// types (1 boolean, 2 integer, 3 enumeration) take signs and digits, type 4 (double)
/// also '.', type 0 anything. Backspace always passes.
class TypingFilter
{
public:
    static bool Accepts(int parameterType, char c);
};
