// Owners of what the DOM hands out: one interface reference, one BSTR, one VARIANT. Each frees what
// it holds exactly once, on every return path of the ticket code.
#pragma once

#include "platform/print_ticket.h"

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            p_ = other.p_;
            other.p_ = nullptr;
        }
        return *this;
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For an out-parameter: drops what is held first.
    T** Out()
    {
        Reset();
        return &p_;
    }
    void Reset()
    {
        if (p_ != nullptr) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* text) : s_(SysAllocString(text)) {}
    Bstr(const wchar_t* text, UINT length) : s_(SysAllocStringLen(text, length)) {}
    ~Bstr() { SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR Get() const { return s_; }
    UINT Length() const { return SysStringLen(s_); }
    BSTR* Out()
    {
        SysFreeString(s_);
        s_ = nullptr;
        return &s_;
    }

private:
    BSTR s_ = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&v_); }
    ~Variant() { VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    const VARIANT& Get() const { return v_; }
    VARIANT* Out()
    {
        VariantClear(&v_);
        return &v_;
    }
    // Holds `text` as a string value; false when it is null (out of memory).
    bool HoldString(BSTR text)
    {
        VariantClear(&v_);
        v_.vt = VT_BSTR;
        v_.bstrVal = text;
        return text != nullptr;
    }
    // The string held, or null when the value is no string (an absent attribute gives VT_NULL).
    BSTR String() const { return v_.vt == VT_BSTR ? v_.bstrVal : nullptr; }

private:
    VARIANT v_;
};
