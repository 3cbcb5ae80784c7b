#include "settings/settings_dialog.h"

#include <algorithm>
#include <utility>

#include "core/options.h"

namespace sylvora {
namespace {

// Position of value in table, or kNoSelection when the table does not hold it.
template <size_t N>
int PositionOf(const std::array<int, N>& table, int value) {
  auto found = std::find(table.begin(), table.end(), value);
  return found == table.end() ? kNoSelection : static_cast<int>(found - table.begin());
}

}  // namespace

SettingsDialog::SettingsDialog(Options& options, Report* report, OptionsPlace place)
    : options_(options), report_(report), place_(std::move(place)) {}

void SettingsDialog::Open() {
  LoadOptions(options_, report_, place_);

  for (const ValueList& list : kValueLists) Fill(list.id, options_.*list.field);
  Find(kSoundBox)->checked = options_.birds_singing != 0;
  Find(kVolumeList)->enabled = options_.birds_singing != 0;
  Find(kMouseExitBox)->checked = options_.exit_on_mouse_move != 0;
  Fill(kSceneList, PositionOf(kSceneListViews, options_.nature_view));

  Fill(kChangeList, PositionOf(kChangeListTimes, options_.nature_change_freq));
  if (options_.nature_view != kRandomScene) {
    options_.nature_change_freq = 0;
    Select(kChangeList, kNeverPosition);
    Find(kChangeList)->enabled = false;
  } else {
    Find(kChangeList)->enabled = true;
  }
}

void SettingsDialog::ListChosen(int id, int position) {
  if (closed_) return;
  Select(id, position);
  Command(id);
}

void SettingsDialog::BoxToggled(int id, bool checked) {
  if (closed_) return;
  if (ControlState* box = Find(id)) box->checked = checked;
  Command(id);
}

void SettingsDialog::Command(int id) {
  if (closed_) return;
  // A list with nothing selected leaves its option as it was.
  const int position = Control(id).selection;
  switch (id) {
    case kOkButton:
      options_.birds_singing = Control(kSoundBox).checked ? 1 : 0;
      options_.exit_on_mouse_move = Control(kMouseExitBox).checked ? 1 : 0;
      SaveOptions(options_, report_, place_);  // a failed save closes the dialog all the same
      Close(1);
      break;
    case kCancelButton:
      Close(0);
      break;
    case kSoundBox:
      options_.birds_singing = Control(kSoundBox).checked ? 1 : 0;
      Find(kVolumeList)->enabled = Control(kSoundBox).checked;
      break;
    case kSceneList:
      if (position != kNoSelection) options_.nature_view = kSceneListViews[position];
      ShowChangeForScene();
      break;
    case kChangeList:
      if (position != kNoSelection) options_.nature_change_freq = kChangeListTimes[position];
      break;
    default:
      for (const ValueList& list : kValueLists) {
        if (list.id == id && position != kNoSelection) options_.*list.field = position;
      }
      break;
  }
}

const ControlState& SettingsDialog::Control(int id) const {
  static const ControlState kUnknown{0, kNoSelection, false, false};
  const int slot = SlotOf(id);
  return slot < 0 ? kUnknown : controls_[slot];
}

int SettingsDialog::SlotOf(int id) {
  auto found = std::find(kStatefulIds.begin(), kStatefulIds.end(), id);
  return found == kStatefulIds.end() ? -1 : static_cast<int>(found - kStatefulIds.begin());
}

ControlState* SettingsDialog::Find(int id) {
  const int slot = SlotOf(id);
  return slot < 0 ? nullptr : &controls_[slot];
}

// Clears list id, fills in its entries and selects position; the list is enabled.
void SettingsDialog::Fill(int id, int position) {
  ControlState* list = Find(id);
  list->entryCount = static_cast<int>(ListEntries(id).size());
  list->enabled = true;
  Select(id, position);
}

// Selects position in list id; a position the list does not hold clears the selection, as a combo box
// does when told to select an index it lacks.
void SettingsDialog::Select(int id, int position) {
  ControlState* list = Find(id);
  if (list == nullptr) return;
  list->selection = position >= 0 && position < list->entryCount ? position : kNoSelection;
}

// A random scene changes every ten minutes unless the user picks another time; a fixed one never changes.
void SettingsDialog::ShowChangeForScene() {
  const bool random = options_.nature_view == kRandomScene;
  options_.nature_change_freq = random ? kChangeListTimes[kTenMinutesPosition] : 0;
  Select(kChangeList, random ? kTenMinutesPosition : kNeverPosition);
  Find(kChangeList)->enabled = random;
}

void SettingsDialog::Close(int result) {
  closed_ = true;
  result_ = result;
}

}  // namespace sylvora
