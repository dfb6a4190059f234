#pragma once
// ElementBuffer: the resizable array of doubles that holds a matrix's
// elements. It behaves like std::vector<double> (size, indexing, iteration,
// assign, resize, push_back, comparison, conversion to and from
// std::vector<double>), but keeps up to kInlineCapacity elements inside the
// object itself. Every matrix the calibration code handles (quaternions,
// positions, 3 x 3 and 4 x 4 matrices, a 20 x 4 hand block) therefore lives
// without touching the heap; larger matrices spill to heap storage.

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <type_traits>
#include <vector>

namespace tarn {

class ElementBuffer {
public:
    static constexpr std::size_t kInlineCapacity = 80;

    using value_type = double;
    using size_type = std::size_t;
    using iterator = double*;
    using const_iterator = const double*;

    ElementBuffer() noexcept = default;
    explicit ElementBuffer(size_type count, double value = 0.0);
    template <class InputIt, class = std::enable_if_t<!std::is_integral_v<InputIt>>>
    ElementBuffer(InputIt first, InputIt last)
    {
        assign(first, last);
    }
    ElementBuffer(std::initializer_list<double> values);
    ElementBuffer(const std::vector<double>& values);  // NOLINT: implicit on purpose
    ElementBuffer(const ElementBuffer& other);
    ElementBuffer(ElementBuffer&& other) noexcept;
    ~ElementBuffer();

    ElementBuffer& operator=(const ElementBuffer& other);
    ElementBuffer& operator=(ElementBuffer&& other) noexcept;
    ElementBuffer& operator=(std::initializer_list<double> values);

    size_type size() const noexcept { return size_; }
    size_type capacity() const noexcept { return capacity_; }
    bool empty() const noexcept { return size_ == 0; }

    double* data() noexcept { return elements_; }
    const double* data() const noexcept { return elements_; }
    double& operator[](size_type i) noexcept { return elements_[i]; }
    const double& operator[](size_type i) const noexcept { return elements_[i]; }
    double& at(size_type i);
    const double& at(size_type i) const;
    double& front() noexcept { return elements_[0]; }
    const double& front() const noexcept { return elements_[0]; }
    double& back() noexcept { return elements_[size_ - 1]; }
    const double& back() const noexcept { return elements_[size_ - 1]; }
    iterator begin() noexcept { return elements_; }
    iterator end() noexcept { return elements_ + size_; }
    const_iterator begin() const noexcept { return elements_; }
    const_iterator end() const noexcept { return elements_ + size_; }

    // Replaces the contents with `count` copies of `value`.
    void assign(size_type count, double value);
    // Replaces the contents with the doubles in [first, last).
    void assign(const double* first, const double* last);
    template <class InputIt, class = std::enable_if_t<!std::is_integral_v<InputIt>>>
    void assign(InputIt first, InputIt last)
    {
        clear();
        for (; first != last; ++first) push_back(static_cast<double>(*first));
    }
    void resize(size_type count, double value = 0.0);
    void reserve(size_type count);
    void push_back(double value);
    void clear() noexcept { size_ = 0; }

    operator std::vector<double>() const { return std::vector<double>(begin(), end()); }

    friend bool operator==(const ElementBuffer& a, const ElementBuffer& b) noexcept;
    friend bool operator!=(const ElementBuffer& a, const ElementBuffer& b) noexcept
    {
        return !(a == b);
    }

private:
    friend class MatFunc;

    bool onHeap() const noexcept { return elements_ != inline_; }
    // Sets the size to `count` without writing the elements (MatFunc's
    // results whose every element is written next).
    void setSizeForOverwrite(size_type count)
    {
        size_ = 0;
        grow(count);
        size_ = count;
    }
    // Makes room for at least `count` elements, keeping the current ones.
    void grow(size_type count)
    {
        if (count > capacity_) moveToHeap(count);
    }
    // Moves the elements to a new heap array of `count` (> capacity) places.
    void moveToHeap(size_type count);
    // The move: takes other's heap array, or copies its inline elements
    // (which fit any storage this buffer has); other is left empty.
    void takeFrom(ElementBuffer& other) noexcept;

    // The bookkeeping comes first, so a matrix of a few elements (and its
    // shape, just before) spans one or two cache lines, not the whole
    // inline array.
    double* elements_ = inline_;
    size_type size_ = 0;
    size_type capacity_ = kInlineCapacity;
    double inline_[kInlineCapacity];
};

// ---- Inline definitions: every matrix operation builds, moves and drops
// several small buffers; inlined, a buffer of a known small size costs a
// few stores. ----------------------------------------------------------

inline ElementBuffer::ElementBuffer(const ElementBuffer& other) { assign(other.begin(), other.end()); }

inline ElementBuffer::ElementBuffer(ElementBuffer&& other) noexcept { takeFrom(other); }

inline ElementBuffer::~ElementBuffer()
{
    if (onHeap()) delete[] elements_;
}

inline ElementBuffer& ElementBuffer::operator=(const ElementBuffer& other)
{
    if (this != &other) assign(other.begin(), other.end());
    return *this;
}

inline ElementBuffer& ElementBuffer::operator=(ElementBuffer&& other) noexcept
{
    if (this != &other) takeFrom(other);
    return *this;
}

inline void ElementBuffer::assign(size_type count, double value)
{
    size_ = 0;
    grow(count);
    for (size_type k = 0; k < count; ++k) elements_[k] = value;
    size_ = count;
}

inline void ElementBuffer::assign(const double* first, const double* last)
{
    const auto count = static_cast<size_type>(last - first);
    size_ = 0;
    grow(count);
    if (count != 0) std::memcpy(elements_, first, count * sizeof(double));
    size_ = count;
}

inline void ElementBuffer::takeFrom(ElementBuffer& other) noexcept
{
    if (other.onHeap()) {
        if (onHeap()) delete[] elements_;
        elements_ = other.elements_;
        capacity_ = other.capacity_;
        other.elements_ = other.inline_;
        other.capacity_ = kInlineCapacity;
    } else {
        if (other.size_ != 0) std::memcpy(elements_, other.inline_, other.size_ * sizeof(double));
    }
    size_ = other.size_;
    other.size_ = 0;
}

}  // namespace tarn
