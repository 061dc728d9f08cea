#pragma once

/// Runs the body of a host entry. Nothing may unwind into the host: an exception (only running
/// out of memory, or a lock that cannot be taken, can raise one) becomes the entry's failure
/// answer, as in the VST2 dispatcher.
template <class Result, class Body> Result Guarded(Result failure, const Body& body) noexcept
{
    try
    {
        return body();
    }
    catch (...)
    {
        return failure;
    }
}

/// The same for entries that answer nothing: an exception ends the entry's work.
template <class Body> void Guarded(const Body& body) noexcept
{
    try
    {
        body();
    }
    catch (...)
    {
    }
}
