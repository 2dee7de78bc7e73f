// The object and manager bases: reference counts, manager lists, parent/child links, names,
// device loss and reset in list order (also through the device-loss slots), and shutdown.
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

// A device object that writes what happens to it into a shared journal.
class Recorder final : public CDeviceObject {
 public:
  Recorder(CResourceManager* manager, std::string tag, std::vector<std::string>& journal)
      : CDeviceObject(manager), tag_(std::move(tag)), journal_(journal) {
    SetName(tag_.c_str());
  }
  ~Recorder() override { journal_.push_back("destroy " + tag_); }
  void OnLostDevice() override { journal_.push_back("lost " + tag_); }
  void OnResetDevice() override { journal_.push_back("reset " + tag_); }

 private:
  std::string tag_;
  std::vector<std::string>& journal_;
};

class ObjectBases : public ::testing::Test {
 protected:
  ~ObjectBases() override { delete manager_; }  // as the shutdown does, whatever the count

  Recorder* Make(const char* tag) { return new Recorder(manager_, tag, journal_); }

  std::vector<std::string> ListedNames() const {
    std::vector<std::string> names;
    for (CBaseObject* object = manager_->GetFirst(); object; object = object->GetNext()) {
      names.push_back(object->GetName());
    }
    return names;
  }

  std::vector<std::string> journal_;
  CResourceManager* manager_ = new CResourceManager(nullptr);
};

using Names = std::vector<std::string>;

TEST_F(ObjectBases, ObjectStartsWithOneReferenceAndDiesAtZeroLeavingItsManagersList) {
  Recorder* a = Make("a");
  Recorder* b = Make("b");
  EXPECT_EQ(a->GetRefCount(), 1);
  EXPECT_EQ(a->GetManager(), manager_);
  EXPECT_EQ(manager_->GetRefCount(), 3) << "each object holds its manager";
  EXPECT_EQ(manager_->GetCount(), 2u);

  a->AddRef();
  EXPECT_EQ(a->Release(), 1);
  EXPECT_TRUE(journal_.empty());
  EXPECT_EQ(a->Release(), 0);
  EXPECT_EQ(journal_, Names{"destroy a"});
  EXPECT_EQ(manager_->GetCount(), 1u);
  EXPECT_EQ(manager_->GetFirst(), b);
  EXPECT_EQ(manager_->GetRefCount(), 2);
  b->Release();
}

TEST_F(ObjectBases, UnlinkKeepsTheListWholeFromEveryPosition) {
  Recorder* a = Make("a");
  Recorder* b = Make("b");
  Recorder* c = Make("c");
  Recorder* d = Make("d");
  EXPECT_EQ(ListedNames(), (Names{"a", "b", "c", "d"}));
  b->Release();  // middle
  EXPECT_EQ(ListedNames(), (Names{"a", "c", "d"}));
  d->Release();  // last: its predecessor becomes the tail
  EXPECT_EQ(manager_->GetLast(), c);
  EXPECT_EQ(c->GetNext(), nullptr);
  a->Release();  // first
  EXPECT_EQ(manager_->GetFirst(), c);
  c->Release();  // only
  EXPECT_EQ(manager_->GetFirst(), nullptr);
  EXPECT_EQ(manager_->GetLast(), nullptr);
  EXPECT_EQ(manager_->GetCount(), 0u);

  Recorder* e = Make("e");
  EXPECT_EQ(ListedNames(), Names{"e"}) << "an emptied list takes objects again";
  e->Release();
}

TEST(BaseList, RefusesObjectsItDoesNotHoldAndObjectsTwice) {
  CBaseList list;
  CBaseList other;
  auto* a = new CBaseObject;
  auto* b = new CBaseObject;
  list.Append(a);
  list.Append(a);
  list.Append(nullptr);
  EXPECT_EQ(list.GetCount(), 1u);
  other.Unlink(a);  // a stands in `list`, not here
  EXPECT_EQ(other.GetCount(), 0u);
  EXPECT_EQ(list.GetFirst(), a);
  list.Unlink(b);
  list.Unlink(a);
  list.Unlink(a);
  EXPECT_EQ(list.GetCount(), 0u);
  a->Release();
  b->Release();
}

TEST_F(ObjectBases, FindIgnoresAsciiCaseOnlyAndAddsAReference) {
  Recorder* lower = Make("data\\title.png");
  Recorder* kana = Make("\x82\xA0\xE1.png");  // Shift-JIS "あ", then a byte that is a letter elsewhere
  CBaseObject* found = manager_->Find("DATA\\Title.PNG");
  EXPECT_EQ(found, lower);
  EXPECT_EQ(lower->GetRefCount(), 2);
  found->Release();
  EXPECT_EQ(manager_->Find("\x82\xA1\xE1.png"), nullptr);
  EXPECT_EQ(manager_->Find("\x82\xA0\xC1.png"), nullptr) << "only A to Z fold";
  found = manager_->Find("\x82\xA0\xE1.PNG");
  EXPECT_EQ(found, kana);
  found->Release();
  EXPECT_EQ(manager_->Find("data\\title.pn"), nullptr);
  EXPECT_EQ(manager_->Find("data\\title.png "), nullptr);
  EXPECT_EQ(kana->GetRefCount(), 1);

  Recorder* twin = Make("DATA\\TITLE.PNG");
  found = manager_->Find("data\\title.png");
  EXPECT_EQ(found, lower) << "the first from the head wins";
  found->Release();
  twin->Release();
  lower->Release();
  kana->Release();
}

TEST(ObjectName, IsCutAt259BytesAndNullIsEmpty) {
  auto* object = new CBaseObject;
  EXPECT_STREQ(object->GetName(), "");
  const std::string longName(400, 'x');
  object->SetName(longName.c_str());
  EXPECT_EQ(std::string(object->GetName()), std::string(259, 'x'));
  object->SetName(nullptr);
  EXPECT_STREQ(object->GetName(), "");
  EXPECT_TRUE(SameObjectName(nullptr, ""));
  EXPECT_FALSE(SameObjectName(nullptr, "a"));
  EXPECT_TRUE(SameObjectName("[Z@`{]", "[z@`{]"));
  EXPECT_FALSE(SameObjectName("@", "`")) << "neighbours of the letters do not fold";
  EXPECT_FALSE(SameObjectName("[", "{"));
  object->Release();
}

TEST(ObjectTree, ChildrenHoldTheirParentAndLeaveItsChainWhenDestroyed) {
  auto* parent = new CBaseObject;
  auto* first = new CBaseObject;
  auto* middle = new CBaseObject;
  auto* last = new CBaseObject;
  parent->AddChild(first);
  parent->AddChild(middle);
  parent->AddChild(last);
  parent->AddChild(middle);  // has a parent already
  parent->AddChild(parent);
  parent->AddChild(nullptr);
  EXPECT_EQ(parent->GetChildCount(), 3u);
  EXPECT_EQ(parent->GetRefCount(), 4);
  EXPECT_EQ(parent->GetChild(), first);
  EXPECT_EQ(first->GetSibling(), middle);
  EXPECT_EQ(middle->GetParent(), parent);

  middle->Release();  // the chain is bridged
  EXPECT_EQ(first->GetSibling(), last);
  EXPECT_EQ(parent->GetChildCount(), 2u);
  EXPECT_EQ(parent->GetRefCount(), 3);
  first->Release();  // the first child: the chain starts at its sibling
  EXPECT_EQ(parent->GetChild(), last);
  EXPECT_EQ(parent->GetRefCount(), 2);

  // The parent goes while a child still holds it: the child lives on without a parent.
  parent->Release();
  parent->Release();
  EXPECT_EQ(last->GetParent(), nullptr);
  EXPECT_EQ(last->GetRefCount(), 1);
  last->Release();
}

TEST(ObjectTree, TheLastChildGoingDestroysAParentThatOnlyItHeld) {
  auto* parent = new CBaseObject;
  auto* child = new CBaseObject;
  parent->AddChild(child);
  EXPECT_EQ(parent->Release(), 1);  // the child's reference keeps it
  child->Release();                 // and gives it back: ASan reports a leak otherwise
}

TEST_F(ObjectBases, LossAndResetReachEveryObjectInListOrder) {
  Recorder* a = Make("a");
  Recorder* b = Make("b");
  Recorder* c = Make("c");
  b->Release();
  Recorder* d = Make("d");
  journal_.clear();
  manager_->OnLostDevice();
  manager_->OnResetDevice();
  EXPECT_EQ(journal_, (Names{"lost a", "lost c", "lost d", "reset a", "reset c", "reset d"}));
  a->Release();
  c->Release();
  d->Release();
}

TEST(ManagerDeviceLoss, SlotsCallTheirManagersInSlotOrderWhateverTheJoinOrder) {
  std::vector<std::string> journal;
  auto* textures = new CResourceManager(nullptr);
  auto* surfaces = new CResourceManager(nullptr);
  auto* sprites = new CResourceManager(nullptr);
  new Recorder(sprites, "sprite", journal);
  new Recorder(surfaces, "surface", journal);
  new Recorder(textures, "texture 1", journal);
  new Recorder(textures, "texture 2", journal);
  JoinDeviceLoss(DeviceLossSlot::kSprites2D, sprites);
  JoinDeviceLoss(DeviceLossSlot::kSurfaces, surfaces);
  JoinDeviceLoss(DeviceLossSlot::kTextures, textures);

  NotifyLostDevice();
  NotifyResetDevice();
  EXPECT_EQ(journal, (Names{"lost texture 1", "lost texture 2", "lost surface", "lost sprite", "reset texture 1",
                            "reset texture 2", "reset surface", "reset sprite"}));

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
  Make("c");
  held->AddRef();  // the host holds it twice
  journal_.clear();
  delete std::exchange(manager_, nullptr);
  EXPECT_EQ(journal_, (Names{"destroy a", "destroy c"}));
  EXPECT_EQ(held->GetRefCount(), 1);
  EXPECT_EQ(held->GetManager(), nullptr);
  EXPECT_EQ(held->GetDevice(), nullptr);
  EXPECT_EQ(held->GetNext(), nullptr);
  held->Release();  // touches nothing of the destroyed manager
  EXPECT_EQ(journal_.back(), "destroy held");
}

TEST_F(ObjectBases, ShutdownSurvivesAnObjectWhoseDeathDestroysItsNeighbour) {
  Recorder* child = Make("child");
  Recorder* parent = Make("parent");
  parent->AddChild(child);
  parent->Release();  // now only the child holds the parent, which is still listed
  delete std::exchange(manager_, nullptr);  // the child's death destroys the next object
  EXPECT_EQ(journal_, (Names{"destroy child", "destroy parent"}));
}

TEST_F(ObjectBases, HandleHelpersIgnoreNull) {
  ReleaseObject(nullptr);
  AddRefObject(nullptr);
  Recorder* a = Make("a");
  AddRefObject(a);
  EXPECT_EQ(a->GetRefCount(), 2);
  ReleaseObject(a);
  ReleaseObject(a);
  EXPECT_EQ(journal_, Names{"destroy a"});
}

TEST_F(ObjectBases, ErrorTextIsTheDeviceTableInABufferOfItsOwn) {
  Recorder* a = Make("a");
  const char* text = a->GetErrorText(result::kOutOfVideoMemory);
  EXPECT_STREQ(text, ErrorTextUtf8(result::kOutOfVideoMemory));
  EXPECT_NE(text, ErrorTextUtf8(result::kOutOfVideoMemory));
  EXPECT_STREQ(a->GetErrorText(0x12345678), "未知のエラー。");
  EXPECT_EQ(a->SetTexture(0, nullptr), result::kInvalidCall) << "no device";
  a->Release();
}

}  // namespace
}  // namespace vela
