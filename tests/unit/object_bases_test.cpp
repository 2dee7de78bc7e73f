// The object and manager bases: reference counts, manager lists, parent/child links, names,
// device loss and reset through the device-loss slots in list order, and shutdown.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/base_list.h"
#include "core/base_object.h"
#include "core/device_object.h"
#include "core/manager_device_loss.h"
#include "core/resource_manager.h"

namespace vela {
namespace {

// Objects come from a class allocator that answers null when the heap runs out, so that a
// new-expression answers null instead of throwing.
static_assert(noexcept(CBaseObject::operator new(sizeof(CBaseObject))));

using Names = std::vector<std::string>;

// A device object that writes what happens to it into a shared journal.
class Recorder final : public CDeviceObject {
 public:
  Recorder(CResourceManager* manager, std::string tag, Names& journal)
      : CDeviceObject(manager), tag_(std::move(tag)), journal_(journal) {
    SetName(tag_.c_str());
  }
  ~Recorder() override { journal_.push_back("destroy " + tag_); }
  void OnLostDevice() override { journal_.push_back("lost " + tag_); }
  void OnResetDevice() override { journal_.push_back("reset " + tag_); }

 private:
  std::string tag_;
  Names& journal_;
};

class ObjectBases : public ::testing::Test {
 protected:
  ~ObjectBases() override { delete manager_; }  // as the shutdown does, whatever the count

  Recorder* Make(const char* tag) { return new Recorder(manager_, tag, journal_); }

  Names Listed() const {
    Names names;
    for (CBaseObject* object = manager_->GetFirst(); object; object = object->GetNext()) names.push_back(object->GetName());
    return names;
  }

  Names journal_;
  CResourceManager* manager_ = new CResourceManager(nullptr);
};

TEST_F(ObjectBases, AnObjectHoldsItsManagerAndLeavesItsListFromAnyPositionAtZero) {
  Recorder *a = Make("a"), *b = Make("b"), *c = Make("c"), *d = Make("d");
  EXPECT_EQ(manager_->GetRefCount(), 5) << "each object holds its manager";
  b->AddRef();
  EXPECT_EQ(b->Release(), 1);
  EXPECT_EQ(b->Release(), 0);  // middle
  EXPECT_EQ(Listed(), (Names{"a", "c", "d"}));
  d->Release();  // last: its predecessor becomes the tail
  EXPECT_EQ(manager_->GetLast(), c);
  EXPECT_EQ(c->GetNext(), nullptr);
  a->Release();  // first
  c->Release();  // only
  EXPECT_EQ(manager_->GetFirst(), nullptr);
  EXPECT_EQ(manager_->GetLast(), nullptr);
  EXPECT_EQ(journal_, (Names{"destroy b", "destroy d", "destroy a", "destroy c"}));
  EXPECT_EQ(manager_->GetRefCount(), 1);

  Recorder* e = Make("e");
  EXPECT_EQ(Listed(), Names{"e"}) << "an emptied list takes objects again";
  EXPECT_EQ(e->SetTexture(0, nullptr), result::kInvalidCall) << "no device";
  ReleaseObject(e);
  ReleaseObject(nullptr);
}

TEST_F(ObjectBases, FindIgnoresAsciiCaseOnlyAndAddsAReference) {
  Recorder* lower = Make("data\\title.png");
  Recorder* kana = Make("\x82\xA0\xE1.png");  // Shift-JIS "あ", then a byte that is a letter elsewhere
  Recorder* twin = Make("DATA\\TITLE.PNG");
  CBaseObject* found = manager_->Find("DATA\\Title.PNG");
  EXPECT_EQ(found, lower) << "the first from the head wins";
  EXPECT_EQ(lower->GetRefCount(), 2);
  found->Release();
  for (const char* other : {"\x82\xA0\xC1.png" /* only A to Z fold */, "data\\title.pn", "data\\title.png "}) {
    EXPECT_EQ(manager_->Find(other), nullptr) << other;
  }
  found = manager_->Find("\x82\xA0\xE1.PNG");
  EXPECT_EQ(found, kana);
  found->Release();
  EXPECT_TRUE(SameObjectName(nullptr, ""));
  EXPECT_FALSE(SameObjectName("@", "`")) << "neighbours of the letters do not fold";
  EXPECT_FALSE(SameObjectName("[", "{"));
  twin->Release();
  lower->Release();
  kana->Release();
}

TEST(ObjectName, IsCutAt259BytesAndNullIsEmpty) {
  auto* object = new CBaseObject;
  object->SetName(std::string(400, 'x').c_str());
  EXPECT_EQ(std::string(object->GetName()), std::string(259, 'x'));
  object->SetName(nullptr);
  EXPECT_STREQ(object->GetName(), "");
  object->Release();
}

TEST(ObjectTree, ChildrenHoldTheirParentAndLeaveItsChainWhenDestroyed) {
  auto* parent = new CBaseObject;
  auto* first = new CBaseObject;
  auto* middle = new CBaseObject;
  auto* last = new CBaseObject;
  for (CBaseObject* child : {first, middle, last, middle /* has a parent already */, parent, (CBaseObject*)nullptr}) {
    parent->AddChild(child);
  }
  EXPECT_EQ(parent->GetChildCount(), 3u);
  EXPECT_EQ(parent->GetRefCount(), 4);
  middle->Release();  // the chain is bridged
  EXPECT_EQ(first->GetSibling(), last);
  first->Release();  // the first child: the chain starts at its sibling
  EXPECT_EQ(parent->GetChild(), last);
  EXPECT_EQ(parent->GetRefCount(), 2);
  // The parent goes while a child still holds it: the child lives on without a parent.
  parent->Release();
  parent->Release();
  EXPECT_EQ(last->GetParent(), nullptr);
  last->Release();

  // The last child going destroys a parent that only it held (ASan reports a leak otherwise).
  parent = new CBaseObject;
  auto* child = new CBaseObject;
  parent->AddChild(child);
  EXPECT_EQ(parent->Release(), 1);
  child->Release();
}

TEST(ManagerDeviceLoss, SlotsCallTheirManagersInSlotOrderWhateverTheJoinOrder) {
  Names journal;
  auto* textures = new CResourceManager(nullptr);
  auto* surfaces = new CResourceManager(nullptr);
  auto* sprites = new CResourceManager(nullptr);
  new Recorder(sprites, "sprite", journal);
  new Recorder(surfaces, "surface", journal);
  new Recorder(textures, "texture 1", journal);
  (new Recorder(textures, "texture 2", journal))->Release();  // gone before the loss
  new Recorder(textures, "texture 3", journal);
  JoinDeviceLoss(DeviceLossSlot::kSprites2D, sprites);
  JoinDeviceLoss(DeviceLossSlot::kSurfaces, surfaces);
  JoinDeviceLoss(DeviceLossSlot::kTextures, textures);
  journal.clear();
  NotifyLostDevice();
  NotifyResetDevice();
  // Slot by slot, and within a manager in list order.
  EXPECT_EQ(journal, (Names{"lost texture 1", "lost texture 3", "lost surface", "lost sprite", "reset texture 1",
                            "reset texture 3", "reset surface", "reset sprite"}));
  journal.clear();
  LeaveDeviceLoss(DeviceLossSlot::kSurfaces);
  CDeviceManager* none = nullptr;
  JoinDeviceLoss(DeviceLossSlot::kTextures, none);
  NotifyLostDevice();
  EXPECT_EQ(journal, Names{"lost sprite"});
  LeaveDeviceLoss(DeviceLossSlot::kSprites2D);
  delete textures;
  delete surfaces;
  delete sprites;
}

TEST_F(ObjectBases, ShutdownDestroysWhatOnlyTheListHeldAndOrphansTheRest) {
  Make("a");
  Recorder* held = Make("held");
  held->AddRef();  // the host holds it twice
  delete std::exchange(manager_, nullptr);
  EXPECT_EQ(journal_, Names{"destroy a"});
  EXPECT_EQ(held->GetRefCount(), 1);
  EXPECT_EQ(held->GetManager(), nullptr);
  EXPECT_EQ(held->GetNext(), nullptr);
  held->Release();  // touches nothing of the destroyed manager
  EXPECT_EQ(journal_.back(), "destroy held");
}

TEST_F(ObjectBases, ShutdownSurvivesAnObjectWhoseDeathDestroysItsNeighbour) {
  Recorder* child = Make("child");
  Recorder* parent = Make("parent");
  parent->AddChild(child);
  parent->Release();  // now only the child holds the parent, which is still listed
  delete std::exchange(manager_, nullptr);
  EXPECT_EQ(journal_, (Names{"destroy child", "destroy parent"}));
}

}  // namespace
}  // namespace vela
