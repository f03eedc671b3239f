#include "audio/endpoints_win32.h"

#include <windows.h>
// Defines the property keys here rather than taking them from a library.
#include <initguid.h>
#include <functiondiscoverykeys_devpkey.h>
#include <atomic>
#include <string>

#include "audio/output_events.h"

// The system calls it on threads of its own: all it does is post to the
// program's thread.
class EndpointNotifications : public IMMNotificationClient {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == __uuidof(IUnknown) || id == __uuidof(IMMNotificationClient)) {
            *object = static_cast<IMMNotificationClient*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The stream opens the default of the console role; the others follow it.
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override {
        if (flow == eRender && role == eConsole) tellDefaultOutputChanged();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return endpointsChanged(); }
    // The endpoint in use may be the one that went: the program looks at once,
    // not at the next note, which would find the stream gone.
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return endpointsChanged(); }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return endpointsChanged(); }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }

private:
    HRESULT endpointsChanged() {
        tellOutputEndpointsChanged();
        return S_OK;
    }
    virtual ~EndpointNotifications() = default;
    std::atomic<ULONG> references{1};
};

namespace {

std::string narrowText(const wchar_t* text, UINT codePage) {
    int length = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text, -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(length) - 1);
    return narrow;
}

bool describeEndpoint(IMMDevice& device, OutputEndpoint& endpoint) {
    ScopedTaskMemory<wchar_t> id;
    if (FAILED(device.GetId(id.out())) || !id.get()) return false;
    endpoint.id = narrowText(id.get(), CP_UTF8);
    ScopedComPtr<IPropertyStore> properties;
    ScopedPropVariant name;
    if (SUCCEEDED(device.OpenPropertyStore(STGM_READ, properties.out())) &&
        SUCCEEDED(properties->GetValue(PKEY_Device_FriendlyName, &name.value)) && name.value.vt == VT_LPWSTR)
        endpoint.name = narrowText(name.value.pwszVal, CP_ACP);  // shown in the program's menu
    if (endpoint.name.empty()) endpoint.name = endpoint.id;
    return true;
}

}  // namespace

void EndpointWatch::start() {
    stop();
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                enumerator.outVoid())))
        return;
    auto* client = new EndpointNotifications;
    if (SUCCEEDED(enumerator->RegisterEndpointNotificationCallback(client))) notifications = client;
    else client->Release();
}

void EndpointWatch::stop() {
    if (notifications && enumerator) enumerator->UnregisterEndpointNotificationCallback(notifications);
    if (notifications) notifications->Release();
    notifications = nullptr;
    enumerator.reset();
}

std::vector<OutputEndpoint> EndpointWatch::list() const {
    std::vector<OutputEndpoint> endpoints;
    ScopedComPtr<IMMDeviceCollection> collection;
    if (!enumerator || FAILED(enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, collection.out())))
        return endpoints;
    UINT count = 0;
    if (FAILED(collection->GetCount(&count))) return endpoints;
    for (UINT i = 0; i < count; ++i) {
        ScopedComPtr<IMMDevice> device;
        OutputEndpoint endpoint;
        if (SUCCEEDED(collection->Item(i, device.out())) && describeEndpoint(*device.get(), endpoint))
            endpoints.push_back(endpoint);
    }
    return endpoints;
}
