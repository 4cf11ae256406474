// Linux stand-in for <sensorsapi.h>: the Sensor API's manager, collection,
// sensor, data report and event sink interfaces, every method in its slot,
// with the published class and interface identifiers. Types that only appear
// in slots the library never calls are declared, not defined.
#pragma once

#include <objbase.h>
#include <propidl.h>
#include <propkeydef.h>

enum SensorState {
    SENSOR_STATE_READY = 0,
    SENSOR_STATE_NOT_AVAILABLE = 1,
    SENSOR_STATE_NO_DATA = 2,
    SENSOR_STATE_INITIALIZING = 3,
    SENSOR_STATE_ACCESS_DENIED = 4,
    SENSOR_STATE_ERROR = 5,
};

using SENSOR_CATEGORY_ID = GUID;
using REFSENSOR_CATEGORY_ID = REFGUID;
using SENSOR_TYPE_ID = GUID;
using REFSENSOR_TYPE_ID = REFGUID;
using SENSOR_ID = GUID;
using REFSENSOR_ID = REFGUID;
using VARIANT_BOOL = short;

struct SYSTEMTIME;
struct IPortableDeviceKeyCollection;
struct IPortableDeviceValues;
struct ISensorManagerEvents;
struct ISensor;
struct ISensorCollection;
struct ISensorDataReport;
struct ISensorEvents;

struct ISensorManager : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSensorsByCategory(REFSENSOR_CATEGORY_ID category,
                                                           ISensorCollection** found) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSensorsByType(REFSENSOR_TYPE_ID type,
                                                       ISensorCollection** found) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSensorByID(REFSENSOR_ID id, ISensor** sensor) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEventSink(ISensorManagerEvents* events) = 0;
    virtual HRESULT STDMETHODCALLTYPE RequestPermissions(HWND parent, ISensorCollection* sensors,
                                                         BOOL modal) = 0;
};

struct ISensorCollection : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetAt(ULONG index, ISensor** sensor) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCount(ULONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Add(ISensor* sensor) = 0;
    virtual HRESULT STDMETHODCALLTYPE Remove(ISensor* sensor) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveByID(REFSENSOR_ID id) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
};

struct ISensor : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetID(SENSOR_ID* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCategory(SENSOR_CATEGORY_ID* category) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetType(SENSOR_TYPE_ID* type) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFriendlyName(BSTR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProperty(REFPROPERTYKEY key, PROPVARIANT* property) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProperties(IPortableDeviceKeyCollection* keys,
                                                    IPortableDeviceValues** properties) = 0;
    virtual HRESULT STDMETHODCALLTYPE
    GetSupportedDataFields(IPortableDeviceKeyCollection** dataFields) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetProperties(IPortableDeviceValues* properties,
                                                    IPortableDeviceValues** results) = 0;
    virtual HRESULT STDMETHODCALLTYPE SupportsDataField(REFPROPERTYKEY key,
                                                        VARIANT_BOOL* supported) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetState(SensorState* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetData(ISensorDataReport** report) = 0;
    virtual HRESULT STDMETHODCALLTYPE SupportsEvent(REFGUID eventId, VARIANT_BOOL* supported) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEventInterest(GUID** values, ULONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEventInterest(GUID* values, ULONG count) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEventSink(ISensorEvents* events) = 0;
};

struct ISensorDataReport : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetTimestamp(SYSTEMTIME* timestamp) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSensorValue(REFPROPERTYKEY key, PROPVARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSensorValues(IPortableDeviceKeyCollection* keys,
                                                      IPortableDeviceValues** values) = 0;
};

struct ISensorEvents : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE OnStateChanged(ISensor* sensor, SensorState state) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnDataUpdated(ISensor* sensor,
                                                    ISensorDataReport* newData) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnEvent(ISensor* sensor, REFGUID eventId,
                                              IPortableDeviceValues* eventData) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnLeave(REFSENSOR_ID id) = 0;
};

inline constexpr CLSID CLSID_SensorManager = {
    0x77a1c827, 0xfcd2, 0x4689, {0x89, 0x15, 0x9d, 0x61, 0x3c, 0xc5, 0xfa, 0x3e}};
inline constexpr IID IID_ISensorManager = {
    0xbd77db67, 0x45a8, 0x42dc, {0x8d, 0x00, 0x6d, 0xcf, 0x15, 0xf8, 0x37, 0x7a}};
inline constexpr IID IID_ISensorCollection = {
    0x23571e11, 0xe545, 0x4dd8, {0xa3, 0x37, 0xb8, 0x9b, 0xf4, 0x4b, 0x10, 0xdf}};
inline constexpr IID IID_ISensor = {
    0x5fa08f80, 0x2657, 0x458e, {0xaf, 0x75, 0x46, 0xf7, 0x3f, 0xa6, 0xac, 0x5c}};
inline constexpr IID IID_ISensorDataReport = {
    0x0ab9df9b, 0xc4b5, 0x4796, {0x88, 0x98, 0x04, 0x70, 0x70, 0x6a, 0x2e, 0x1d}};
inline constexpr IID IID_ISensorEvents = {
    0x5d8dcc91, 0x4641, 0x47e7, {0xb7, 0xc3, 0xb7, 0x4f, 0x48, 0xa6, 0xc3, 0x91}};

__CRT_UUID_DECL(ISensorManager, 0xbd77db67, 0x45a8, 0x42dc, 0x8d, 0x00, 0x6d, 0xcf, 0x15, 0xf8,
                0x37, 0x7a)
__CRT_UUID_DECL(ISensorCollection, 0x23571e11, 0xe545, 0x4dd8, 0xa3, 0x37, 0xb8, 0x9b, 0xf4, 0x4b,
                0x10, 0xdf)
__CRT_UUID_DECL(ISensor, 0x5fa08f80, 0x2657, 0x458e, 0xaf, 0x75, 0x46, 0xf7, 0x3f, 0xa6, 0xac, 0x5c)
__CRT_UUID_DECL(ISensorDataReport, 0x0ab9df9b, 0xc4b5, 0x4796, 0x88, 0x98, 0x04, 0x70, 0x70, 0x6a,
                0x2e, 0x1d)
__CRT_UUID_DECL(ISensorEvents, 0x5d8dcc91, 0x4641, 0x47e7, 0xb7, 0xc3, 0xb7, 0x4f, 0x48, 0xa6, 0xc3,
                0x91)
