#include "matrix/ElementBuffer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

ElementBuffer::ElementBuffer(size_type count, double value) { assign(count, value); }

ElementBuffer::ElementBuffer(std::initializer_list<double> values)
{
    assign(values.begin(), values.end());
}

ElementBuffer::ElementBuffer(const std::vector<double>& values)
{
    assign(values.data(), values.data() + values.size());
}

ElementBuffer::ElementBuffer(const ElementBuffer& other) { assign(other.begin(), other.end()); }

ElementBuffer::ElementBuffer(ElementBuffer&& other) noexcept
{
    if (other.onHeap()) {
        elements_ = other.elements_;
        capacity_ = other.capacity_;
        size_ = other.size_;
        other.elements_ = other.inline_;
        other.capacity_ = kInlineCapacity;
    } else {
        std::memcpy(inline_, other.inline_, other.size_ * sizeof(double));
        size_ = other.size_;
    }
    other.size_ = 0;
}

ElementBuffer::~ElementBuffer()
{
    if (onHeap()) delete[] elements_;
}

ElementBuffer& ElementBuffer::operator=(const ElementBuffer& other)
{
    if (this != &other) assign(other.begin(), other.end());
    return *this;
}

ElementBuffer& ElementBuffer::operator=(ElementBuffer&& other) noexcept
{
    if (this == &other) return *this;
    if (other.onHeap()) {
        if (onHeap()) delete[] elements_;
        elements_ = other.elements_;
        capacity_ = other.capacity_;
        size_ = other.size_;
        other.elements_ = other.inline_;
        other.capacity_ = kInlineCapacity;
    } else {
        // Fits inline, so it also fits whatever storage this buffer has.
        std::memcpy(elements_, other.inline_, other.size_ * sizeof(double));
        size_ = other.size_;
    }
    other.size_ = 0;
    return *this;
}

ElementBuffer& ElementBuffer::operator=(std::initializer_list<double> values)
{
    assign(values.begin(), values.end());
    return *this;
}

double& ElementBuffer::at(size_type i)
{
    if (i >= size_) throw std::out_of_range("ElementBuffer::at");
    return elements_[i];
}

const double& ElementBuffer::at(size_type i) const
{
    if (i >= size_) throw std::out_of_range("ElementBuffer::at");
    return elements_[i];
}

void ElementBuffer::assign(size_type count, double value)
{
    size_ = 0;
    grow(count);
    std::fill(elements_, elements_ + count, value);
    size_ = count;
}

void ElementBuffer::assign(const double* first, const double* last)
{
    const auto count = static_cast<size_type>(last - first);
    size_ = 0;
    grow(count);
    if (count != 0) std::memcpy(elements_, first, count * sizeof(double));
    size_ = count;
}

void ElementBuffer::resize(size_type count, double value)
{
    grow(count);
    if (count > size_) std::fill(elements_ + size_, elements_ + count, value);
    size_ = count;
}

void ElementBuffer::reserve(size_type count) { grow(count); }

void ElementBuffer::push_back(double value)
{
    if (size_ == capacity_) grow(capacity_ * 2);
    elements_[size_++] = value;
}

void ElementBuffer::grow(size_type count)
{
    if (count <= capacity_) return;
    double* bigger = new double[count];
    if (size_ != 0) std::memcpy(bigger, elements_, size_ * sizeof(double));
    if (onHeap()) delete[] elements_;
    elements_ = bigger;
    capacity_ = count;
}

bool operator==(const ElementBuffer& a, const ElementBuffer& b) noexcept
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}
