#include "hosting/vst3/HostRunLoop.h"

#include <poll.h>

#include <algorithm>

using namespace vst3;

tresult PLUGIN_API HostRunLoop::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (QueryAs<IPlugFrame>(this, iid, obj))
        return kResultOk;
    if (offerRunLoop && QueryAs<Linux::IRunLoop>(this, iid, obj))
        return kResultOk;
    return FObject::queryInterface(iid, obj);
}

tresult PLUGIN_API HostRunLoop::resizeView(IPlugView* view, ViewRect* newSize)
{
    if (view == nullptr || newSize == nullptr)
        return kInvalidArgument;
    requestedSize = *newSize;
    return view->onSize(newSize);
}

tresult PLUGIN_API HostRunLoop::registerEventHandler(Linux::IEventHandler* handler,
                                                     Linux::FileDescriptor fd)
{
    if (handler == nullptr || fd < 0)
        return kInvalidArgument;
    handlers.push_back({handler, fd});
    return kResultOk;
}

tresult PLUGIN_API HostRunLoop::unregisterEventHandler(Linux::IEventHandler* handler)
{
    const auto before = handlers.size();
    std::erase_if(handlers, [handler](const Handler& h) { return h.handler == handler; });
    return handlers.size() < before ? kResultOk : kInvalidArgument;
}

tresult PLUGIN_API HostRunLoop::registerTimer(Linux::ITimerHandler* handler,
                                              Linux::TimerInterval milliseconds)
{
    if (handler == nullptr || milliseconds == 0)
        return kInvalidArgument;
    const std::chrono::milliseconds period(milliseconds);
    timers.push_back({handler, period, Clock::now() + period});
    periods.push_back(milliseconds);
    return kResultOk;
}

tresult PLUGIN_API HostRunLoop::unregisterTimer(Linux::ITimerHandler* handler)
{
    const auto before = timers.size();
    std::erase_if(timers, [handler](const Timer& t) { return t.handler == handler; });
    return timers.size() < before ? kResultOk : kInvalidArgument;
}

void HostRunLoop::RunFor(int milliseconds)
{
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < end)
    {
        auto wake = end;
        for (const Timer& t : timers)
            wake = std::min(wake, t.due);
        std::vector<pollfd> fds;
        for (const Handler& h : handlers)
            fds.push_back({h.fd, POLLIN, 0});
        const auto wait =
            std::chrono::duration_cast<std::chrono::milliseconds>(wake - Clock::now()).count();
        poll(fds.data(), fds.size(), static_cast<int>(std::max<long long>(wait, 0)));
        // Handlers may unregister themselves (or others) while called: work on copies.
        const std::vector<Handler> ready = handlers;
        for (size_t i = 0; i < fds.size() && i < ready.size(); ++i)
            if (fds[i].revents & POLLIN)
                ready[i].handler->onFDIsSet(ready[i].fd);
        const auto now = Clock::now();
        std::vector<Linux::ITimerHandler*> due;
        for (Timer& t : timers)
        {
            if (t.due <= now)
            {
                due.push_back(t.handler);
                t.due = now + t.period;
            }
        }
        for (Linux::ITimerHandler* handler : due)
            if (std::any_of(timers.begin(), timers.end(),
                            [handler](const Timer& t) { return t.handler == handler; }))
                handler->onTimer();
    }
}
