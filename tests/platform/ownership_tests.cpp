// The owners every release order rests on, with counting stand-ins for a
// handle's close function and a COM object.
#include "platform/com.h"
#include "platform/unique_resource.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace {

struct Closed {
  int value;
  int held;  // what the closing owner held while closing
  bool operator==(const Closed&) const = default;
};
void PrintTo(const Closed& entry, std::ostream* out) {
  *out << entry.value << " closed, " << entry.held << " held";
}
std::vector<Closed> closed;

struct CountingTraits;
using Owner = platform::UniqueResource<CountingTraits>;
const Owner* watched = nullptr;

struct CountingTraits {
  using Type = int;
  static Type Empty() noexcept { return 0; }
  static void Close(Type value) noexcept {
    closed.push_back({value, watched ? watched->get() : -1});
    SetLastError(ERROR_INVALID_HANDLE);  // as a failing close function would
  }
};

struct UniqueResourceTest : testing::Test {
  UniqueResourceTest() { closed.clear(); }
};

TEST_F(UniqueResourceTest, EachValueIsReleasedOnceAndTheEmptyOneNever) {
  {
    const Owner empty;
    const Owner owner(7);
    Owner released(8);
    EXPECT_EQ(released.release(), 8);
  }
  EXPECT_EQ(closed, (std::vector<Closed>{{7, -1}}));
}

TEST_F(UniqueResourceTest, MovingHandsOverAndAssigningReleasesTheOldValueFirst) {
  Owner first(1);
  Owner second(std::move(first));
  EXPECT_FALSE(first);
  EXPECT_TRUE(closed.empty());
  Owner target(2);
  watched = &target;
  target = std::move(second);
  EXPECT_EQ(closed, (std::vector<Closed>{{2, 1}}));
  EXPECT_EQ(target.get(), 1);
  watched = nullptr;
}

// The new value is taken before the old one is released, and the caller's
// last error survives the release.
TEST_F(UniqueResourceTest, ResetTakesTheNewValueThenReleasesTheOldKeepingTheLastError) {
  Owner owner(3);
  watched = &owner;
  SetLastError(ERROR_ACCESS_DENIED);
  owner.reset(4);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  *owner.put() = 5;
  EXPECT_EQ(closed, (std::vector<Closed>{{3, 4}, {4, 0}}));
  EXPECT_EQ(owner.get(), 5);
  watched = nullptr;
}

// All the pointer asks of an interface is Release: an object counting its
// references stands in. The pointer adopts one and never adds any.
struct CountedObject {
  ULONG Release() { return --references; }
  ULONG references = 1;
};

TEST(ComPtr, ReleasesOnceOnResetMoveAndDestruction) {
  CountedObject first, second, third;
  {
    platform::ComPtr<CountedObject> pointer;
    *pointer.put() = &first;
    platform::ComPtr<CountedObject> moved(std::move(pointer));
    EXPECT_FALSE(pointer);
    EXPECT_EQ(first.references, 1u);
    platform::ComPtr<CountedObject> other;
    *other.put() = &second;
    other = std::move(moved);
    EXPECT_EQ(second.references, 0u);
    EXPECT_EQ(first.references, 1u);
    other.reset(&third);
    EXPECT_EQ(first.references, 0u);
    EXPECT_EQ(third.references, 1u);
  }
  EXPECT_EQ(third.references, 0u);
  EXPECT_EQ(second.references, 0u);
}

}  // namespace
