// The element storage behaves like std::vector<double> for code that fills
// a matrix's data directly, inline or spilled to the heap.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "matrix/ElementBuffer.h"

namespace {

TEST(ElementBuffer, FillsAndComparesLikeAVector)
{
    ElementBuffer b;
    b = {1.0, 2.0, 3.0};
    b.push_back(4.0);
    EXPECT_EQ(b, ElementBuffer(std::vector<double>{1, 2, 3, 4}));
    EXPECT_NE(b, ElementBuffer({1.0, 2.0, 3.0}));
    EXPECT_EQ(b.front(), 1.0);
    EXPECT_EQ(b.back(), 4.0);
    EXPECT_EQ(b.at(2), 3.0);
    EXPECT_THROW(b.at(4), std::out_of_range);
    const ElementBuffer& constant = b;
    EXPECT_EQ(constant.at(0), 1.0);
    EXPECT_THROW(constant.at(9), std::out_of_range);

    const std::vector<double> copy = b;
    EXPECT_EQ(copy, (std::vector<double>{1, 2, 3, 4}));
    b.resize(6, 9.0);
    EXPECT_EQ(b.back(), 9.0);
    b.assign(2, 5.0);
    EXPECT_EQ(b, ElementBuffer(2, 5.0));
}

TEST(ElementBuffer, GrowsPastItsInlineCapacityKeepingItsElements)
{
    ElementBuffer b({7.0});
    b.reserve(ElementBuffer::kInlineCapacity + 1);
    EXPECT_GT(b.capacity(), ElementBuffer::kInlineCapacity);
    EXPECT_EQ(b.at(0), 7.0);
    for (int k = 1; k < 200; ++k) b.push_back(k);
    ElementBuffer moved = std::move(b);
    EXPECT_EQ(moved.size(), 200u);
    EXPECT_EQ(moved[199], 199.0);
    ElementBuffer small({1.0});
    small = moved;  // copy into inline storage that must grow
    EXPECT_EQ(small, moved);
}

}  // namespace
