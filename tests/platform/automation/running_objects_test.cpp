#include <gtest/gtest.h>

#include "platform/automation/AutomationError.h"
#include "platform/automation/PropertyBag.h"
#include "platform/automation/RunningObjects.h"

namespace quill {
namespace {

int errorNumber(const std::function<void()>& call) {
  try {
    call();
  } catch (const AutomationError& e) {
    return e.number();
  }
  return 0;
}

TEST(RunningObjects, NothingRunningFailsWith429) {
  EXPECT_EQ(errorNumber([] { getActiveObject("Test.NeverRegistered"); }), 429);
}

TEST(RunningObjects, TheFirstLiveRegistrationAnswersWithoutRegardToCase) {
  auto first = PropertyBag::create("First");
  auto second = PropertyBag::create("Second");
  ActiveObjectRegistration one("Test.App", first);
  ActiveObjectRegistration two("Test.App", second);
  EXPECT_EQ(getActiveObject("test.APP"), first);
  one.revoke();
  EXPECT_EQ(getActiveObject("Test.App"), second);
  EXPECT_FALSE(one.active());
}

TEST(RunningObjects, ARegistrationNeitherKeepsItsObjectAliveNorOutlivesItsScope) {
  ActiveObjectRegistration outer;
  {
    auto object = PropertyBag::create();
    ActiveObjectRegistration inner("Test.Scoped", object);
    EXPECT_EQ(getActiveObject("Test.Scoped"), object);
    outer = std::move(inner);  // moved: the entry stays until `outer` ends
    EXPECT_FALSE(inner.active());
    EXPECT_EQ(getActiveObject("Test.Scoped"), object);
  }
  // The object is gone although it is still registered.
  EXPECT_EQ(errorNumber([] { getActiveObject("Test.Scoped"); }), 429);
  auto again = PropertyBag::create();
  { ActiveObjectRegistration registration("Test.Scoped2", again); }
  EXPECT_EQ(errorNumber([] { getActiveObject("Test.Scoped2"); }), 429);
}

}  // namespace
}  // namespace quill
