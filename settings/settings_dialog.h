#pragma once
// The settings dialog's behaviour, free of any toolkit: what opening it shows, what each control does to
// the Options record, and what OK and Cancel do. It keeps the state of every control with an id (entries
// filled in, selection, check mark, enabled); a view draws that state and reports every user action here
// by control id, then draws the state again.
#include <array>
#include <string>

#include "core/options.h"
#include "settings/dialog_template.h"

namespace sylvora {

class Report;

// A list's selection when nothing is selected.
constexpr int kNoSelection = -1;

// What one control shows. Lists use entryCount and selection, check boxes checked; all use enabled.
struct ControlState {
  int entryCount = 0;
  int selection = kNoSelection;
  bool checked = false;
  bool enabled = true;
};

// nature_view for each scene list position; the order of the fixed scenes is 0, 1, 3, 2, 4, 5.
constexpr std::array<int, 7> kSceneListViews = {1000, 0, 1, 3, 2, 4, 5};
// nature_change_freq in milliseconds for each change list position; the last is "never".
constexpr std::array<int, 13> kChangeListTimes = {60000,   180000,  300000,  420000,  600000,  900000, 1200000,
                                                  1500000, 1800000, 2400000, 3000000, 3600000, 0};
// The change list's position of "every 10 minutes", chosen when the scene becomes random.
constexpr int kTenMinutesPosition = 4;
// The change list's position of "never".
constexpr int kNeverPosition = 12;

// A list whose position is its option's value (0 .. the option's highest).
struct ValueList {
  int id;
  int32_t Options::*field;
};
constexpr std::array<ValueList, 3> kValueLists = {{{kVolumeList, &Options::sound_volume},
                                                   {kAnimationList, &Options::background_animation},
                                                   {kSkyList, &Options::speed_of_sky}}};

class SettingsDialog {
 public:
  // The dialog edits options in place, loads them from place and saves them there on OK.
  SettingsDialog(Options& options, Report* report, OptionsPlace place);

  // Loads the options and sets every control from them; the view calls it once before showing the window.
  void Open();
  // The user chose position (or kNoSelection) in list id: the list shows it and the list's command runs.
  void ListChosen(int id, int position);
  // The user toggled check box id to checked: the box shows it and the box's command runs.
  void BoxToggled(int id, bool checked);
  // Runs the command of control id on the controls' current state. Buttons, Escape and the close box
  // (as Cancel) come here directly; ids without a command and commands after closing do nothing.
  void Command(int id);

  // The state of control id; a control the dialog does not know reads as empty and disabled.
  const ControlState& Control(int id) const;
  // Whether OK or Cancel closed the dialog, and its result then: 1 after OK, 0 after Cancel.
  bool Closed() const { return closed_; }
  int Result() const { return result_; }

 private:
  // The ids of the controls with a state, in template order; a control's slot is its index here.
  static constexpr std::array<int, 9> kStatefulIds = {kOkButton,     kCancelButton,  kSoundBox,
                                                      kVolumeList,   kMouseExitBox,  kSceneList,
                                                      kChangeList,   kAnimationList, kSkyList};

  // The slot of control id, or -1 when it has no state.
  static int SlotOf(int id);
  // The state of control id to change; nullptr when it has none.
  ControlState* Find(int id);
  // Clears list id, fills in its entries, selects position and enables it.
  void Fill(int id, int position);
  // Selects position in list id; a position the list does not hold clears the selection.
  void Select(int id, int position);
  // Sets the change list and nature_change_freq to follow the scene just chosen.
  void ShowChangeForScene();
  // Ends the dialog with result; later commands are ignored.
  void Close(int result);

  Options& options_;
  Report* report_;
  OptionsPlace place_;
  std::array<ControlState, kStatefulIds.size()> controls_{};
  bool closed_ = false;
  int result_ = 0;
};

}  // namespace sylvora
