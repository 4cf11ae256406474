// oleaut32: BSTR strings (length-prefixed, as on Windows) and VARIANTs.
#include <oleauto.h>

#include <cstring>
#include <cwchar>
#include <new>

namespace {

constexpr HRESULT kOk = 0;

// The length in bytes sits before the characters, as Windows lays a BSTR out.
using LengthPrefix = std::uint32_t;

}  // namespace

BSTR WINAPI SysAllocString(const OLECHAR* text) {
    if (text == nullptr) {
        return nullptr;
    }
    const std::size_t length = std::wcslen(text);
    auto* block = static_cast<unsigned char*>(
        ::operator new(sizeof(LengthPrefix) + (length + 1) * sizeof(OLECHAR), std::nothrow));
    if (block == nullptr) {
        return nullptr;
    }
    const auto bytes = static_cast<LengthPrefix>(length * sizeof(OLECHAR));
    std::memcpy(block, &bytes, sizeof bytes);
    auto* characters = reinterpret_cast<OLECHAR*>(block + sizeof(LengthPrefix));
    std::wmemcpy(characters, text, length + 1);
    return characters;
}

void WINAPI SysFreeString(BSTR text) {
    if (text != nullptr) {
        ::operator delete(reinterpret_cast<unsigned char*>(text) - sizeof(LengthPrefix));
    }
}

UINT WINAPI SysStringLen(BSTR text) {
    if (text == nullptr) {
        return 0;
    }
    LengthPrefix bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<unsigned char*>(text) - sizeof(LengthPrefix),
                sizeof bytes);
    return bytes / sizeof(OLECHAR);
}

void WINAPI VariantInit(VARIANT* value) {
    value->vt = VT_EMPTY;
}

HRESULT WINAPI VariantClear(VARIANT* value) {
    if (value->vt == VT_BSTR) {
        SysFreeString(value->bstrVal);
    }
    value->vt = VT_EMPTY;
    return kOk;
}
