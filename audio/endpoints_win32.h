// The output endpoints as the program's thread sees them: listed for the
// Output Device menu, and watched, so that the program hears when the default
// changes or an endpoint comes or goes.
#pragma once
#include <windows.h>
#include <mmdeviceapi.h>
#include <vector>

#include "audio/output_endpoint.h"
#include "base/scoped_win32.h"

class EndpointNotifications;

class EndpointWatch {
public:
    EndpointWatch() = default;
    EndpointWatch(const EndpointWatch&) = delete;
    EndpointWatch& operator=(const EndpointWatch&) = delete;
    ~EndpointWatch() { stop(); }

    // From now on the main window is posted DefaultOutputChangedMessage and
    // OutputEndpointsChangedMessage. Silently nothing where it cannot be had.
    void start();
    void stop();
    // The active render endpoints, by id and friendly name.
    std::vector<OutputEndpoint> list() const;

private:
    ScopedComPtr<IMMDeviceEnumerator> enumerator;
    EndpointNotifications* notifications = nullptr;  // registered while not null
};
