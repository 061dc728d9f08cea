#include "graphics/TypingFilter.h"

bool TypingFilter::Accepts(int parameterType, char c)
{
    if (c == '\b')
        return true;
    const bool signOrDigit = c == '+' || c == '-' || (c >= '0' && c <= '9');
    switch (parameterType)
    {
    case 1:
    case 2:
    case 3:
        return signOrDigit;
    case 4:
        return signOrDigit || c == '.';
    default:
        return true;
    }
}
