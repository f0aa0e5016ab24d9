#pragma once
// Reference-counted engine objects and the pointer that owns them.
// The count starts at 0; the first IntrusivePtr raises it to 1 and the last one
// to let go deletes the object through its virtual destructor.

#include <cstdint>
#include <utility>

namespace tsv {

class RefCounted {
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) : m_refCount(0) {}
    RefCounted& operator=(const RefCounted&) { return *this; }
    virtual ~RefCounted() = default;

    void AddRef() const { ++m_refCount; }
    void Release() const
    {
        if (--m_refCount == 0) {
            delete this;
        }
    }
    int32_t GetRefCount() const { return m_refCount; }

private:
    mutable int32_t m_refCount = 0;
};

template <class T>
class IntrusivePtr {
public:
    IntrusivePtr() = default;
    IntrusivePtr(std::nullptr_t) {}
    IntrusivePtr(T* p) : m_ptr(p) { if (m_ptr) m_ptr->AddRef(); }
    IntrusivePtr(const IntrusivePtr& o) : m_ptr(o.m_ptr) { if (m_ptr) m_ptr->AddRef(); }
    IntrusivePtr(IntrusivePtr&& o) noexcept : m_ptr(std::exchange(o.m_ptr, nullptr)) {}
    template <class U>
    IntrusivePtr(const IntrusivePtr<U>& o) : m_ptr(o.Get()) { if (m_ptr) m_ptr->AddRef(); }
    ~IntrusivePtr() { if (m_ptr) m_ptr->Release(); }

    IntrusivePtr& operator=(const IntrusivePtr& o)
    {
        IntrusivePtr(o).Swap(*this);
        return *this;
    }
    IntrusivePtr& operator=(IntrusivePtr&& o) noexcept
    {
        IntrusivePtr(std::move(o)).Swap(*this);
        return *this;
    }
    IntrusivePtr& operator=(T* p)
    {
        IntrusivePtr(p).Swap(*this);
        return *this;
    }

    void Reset() { IntrusivePtr().Swap(*this); }
    void Swap(IntrusivePtr& o) noexcept { std::swap(m_ptr, o.m_ptr); }

    T* Get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    T& operator*() const { return *m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }

    friend bool operator==(const IntrusivePtr& a, const IntrusivePtr& b) { return a.m_ptr == b.m_ptr; }
    friend bool operator==(const IntrusivePtr& a, std::nullptr_t) { return a.m_ptr == nullptr; }

private:
    T* m_ptr = nullptr;
};

template <class T, class... Args>
IntrusivePtr<T> MakeIntrusive(Args&&... args)
{
    return IntrusivePtr<T>(new T(std::forward<Args>(args)...));
}

} // namespace tsv
