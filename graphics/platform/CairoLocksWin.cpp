// A cairo linked statically into a Windows module has no DllMain of its own to set up its
// locks (critical sections, which have no static initialiser), and not every entry point sets
// them up on first use: a font face made first would wait forever on a lock never set up.
// Linked into every program and module that draws, so it runs before any drawing.

extern "C" void _cairo_mutex_initialize(void);

namespace
{
struct CairoLocks
{
    CairoLocks() { _cairo_mutex_initialize(); }
};
const CairoLocks cairoLocks;
} // namespace
