#include "matrix/ElementBuffer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tarn {

ElementBuffer::ElementBuffer(size_type count, double value) { assign(count, value); }

ElementBuffer::ElementBuffer(std::initializer_list<double> values)
{
    assign(values.begin(), values.end());
}

ElementBuffer::ElementBuffer(const std::vector<double>& values)
{
    assign(values.data(), values.data() + values.size());
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

void ElementBuffer::moveToHeap(size_type count)
{
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

}  // namespace tarn
