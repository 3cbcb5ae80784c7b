// The GTK view of the settings dialog on a real X display: layout from the template, widgets drawn from
// the controller's state, and every widget signal and key reaching the controller.
#include "settings/settings_view_gtk.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/options.h"
#include "report/report.h"
#include "tests/doubles/memory_files.h"

namespace sylvora {
namespace {

const std::string kInstallDir = "/opt/sylvora\\";
// The user's own file, the one the dialog reads and saves.
const std::string kOptionsPath = "/home/u/.config/sylvora/options.ini";
const OptionsPlace kPlace{"/home/u/.config/sylvora/", kInstallDir};

void ProcessEvents() {
  while (gtk_events_pending()) gtk_main_iteration();
}

std::string ActiveText(GtkWidget* list) {
  gchar* text = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(list));
  std::string result = text ? text : "";
  g_free(text);
  return result;
}

// Runs the main loop until the dialog closes or a second has passed; a key-activated button clicks only
// after its pressed look has been shown.
void RunUntilClosed(const SettingsDialog& dialog) {
  const gint64 end = g_get_monotonic_time() + G_USEC_PER_SEC;
  while (!dialog.Closed() && g_get_monotonic_time() < end) {
    ProcessEvents();
    g_usleep(10000);
  }
}

// Delivers a key press of keyval to a shown window as the keyboard would: with the seat's keyboard and
// the key's hardware code, which key bindings are matched by.
void PressKey(GtkWidget* window, guint keyval) {
  GdkDisplay* display = gtk_widget_get_display(window);
  GdkKeymapKey* keys = nullptr;
  gint keyCount = 0;
  ASSERT_TRUE(gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), keyval, &keys, &keyCount));
  GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
  event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
  event->key.keyval = keyval;
  event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
  event->key.time = GDK_CURRENT_TIME;
  gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(display)));
  g_free(keys);
  gtk_main_do_event(event);
  gdk_event_free(event);
  ProcessEvents();
}

class SettingsViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!gtk_init_check(nullptr, nullptr)) GTEST_SKIP() << "no X display to show the dialog on";
  }
  void TearDown() override {
    view.reset();
    ProcessEvents();
  }

  // Opens the dialog on options.ini holding lines (none: no file) and builds its view.
  void OpenWith(const std::string& lines = "") {
    if (!lines.empty()) files.Put(kOptionsPath, lines);
    dialog.Open();
    view = std::make_unique<SettingsView>(dialog);
  }

  GtkWidget* W(int id) const { return view->Widget(id); }

  MemoryFileSystem files;
  ScopedFileSystem scope{files};
  Report report{static_cast<int>(ReportMode::Quiet), kInstallDir};
  Options options;
  SettingsDialog dialog{options, &report, kPlace};
  std::unique_ptr<SettingsView> view;
};

TEST_F(SettingsViewTest, WindowIsAModalFixedSizeDialogWithItsCaption) {
  OpenWith();
  GtkWindow* window = GTK_WINDOW(view->Window());
  EXPECT_STREQ(gtk_window_get_title(window), "Sylvora Screensaver Settings");
  EXPECT_TRUE(gtk_window_get_modal(window));
  EXPECT_FALSE(gtk_window_get_resizable(window));
  EXPECT_EQ(gtk_window_get_default_widget(window), W(kOkButton));
}

TEST_F(SettingsViewTest, ControlsSitWhereTheTemplatePutsThemInDialogUnits) {
  OpenWith();
  const DialogBaseUnits& units = view->Units();
  EXPECT_GT(units.charWidth, 3);
  EXPECT_GT(units.charHeight, 8);
  GtkWidget* surface = gtk_bin_get_child(GTK_BIN(view->Window()));
  int width = 0;
  int height = 0;
  gtk_widget_get_size_request(surface, &width, &height);
  const PixelRect client = ToPixels({0, 0, kSettingsWidth, kSettingsHeight}, units);
  EXPECT_EQ(width, client.width);
  EXPECT_EQ(height, client.height);
  for (int index = 0; index < kSettingsControlCount; ++index) {
    const ControlTemplate& control = kSettingsControls[index];
    SCOPED_TRACE(control.text);
    const PixelRect place = ToPixels(control.rect, units);
    int x = -1;
    int y = -1;
    gtk_container_child_get(GTK_CONTAINER(surface), view->WidgetAt(index), "x", &x, "y", &y, nullptr);
    EXPECT_EQ(x, place.x);
    EXPECT_EQ(y, place.y);
    if (control.kind == ControlKind::Label) {
      EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(view->WidgetAt(index))), control.text);
    }
    if (control.kind == ControlKind::GroupBox) {
      EXPECT_STREQ(gtk_frame_get_label(GTK_FRAME(view->WidgetAt(index))), control.text);
    }
    if (control.kind == ControlKind::CheckBox || control.kind == ControlKind::Button ||
        control.kind == ControlKind::DefaultButton) {
      // The button's own label shows the text, its access key underlined.
      GtkWidget* label = gtk_bin_get_child(GTK_BIN(view->WidgetAt(index)));
      EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(label)), control.text);
      EXPECT_EQ(gtk_label_get_mnemonic_keyval(GTK_LABEL(label)),
                gdk_keyval_to_lower(gdk_unicode_to_keyval(control.accessKey)));
    }
  }
}

TEST_F(SettingsViewTest, ShownWindowIsCentredAndNoTextIsCutOrOverlapsTheNextControl) {
  OpenWith();
  view->Show();
  ProcessEvents();
  GtkWindow* window = GTK_WINDOW(view->Window());
  int width = 0;
  int height = 0;
  gtk_window_get_size(window, &width, &height);
  GdkRectangle screen;
  gdk_monitor_get_geometry(gdk_display_get_monitor(gdk_display_get_default(), 0), &screen);
  const ScreenPoint expected = CentredOrigin(screen.width, screen.height, width, height);
  int x = 0;
  int y = 0;
  gdk_window_get_origin(gtk_widget_get_window(view->Window()), &x, &y);
  EXPECT_EQ(x, expected.x);
  EXPECT_EQ(y, expected.y);

  for (int index = 0; index < kSettingsControlCount; ++index) {
    const ControlTemplate& control = kSettingsControls[index];
    SCOPED_TRACE(control.text);
    GtkAllocation given;
    gtk_widget_get_allocation(view->WidgetAt(index), &given);
    EXPECT_LE(given.x + given.width, width);
    EXPECT_LE(given.y + given.height, height);
    if (control.kind != ControlKind::Label) continue;
    // A label gets at least its natural width (so nothing is cut) and ends before the list beside it.
    int natural = 0;
    gtk_widget_get_preferred_width(view->WidgetAt(index), nullptr, &natural);
    EXPECT_GE(given.width, natural);
    for (const ControlTemplate& other : kSettingsControls) {
      if (other.kind != ControlKind::List || other.rect.y > control.rect.y + control.rect.height ||
          other.rect.x < control.rect.x) {
        continue;
      }
      GtkAllocation list;
      gtk_widget_get_allocation(view->Widget(other.id), &list);
      if (list.y < given.y + given.height && given.y < list.y + list.height) {
        EXPECT_LE(given.x + given.width, list.x) << "runs into list " << other.id;
      }
    }
  }
}

TEST_F(SettingsViewTest, WidgetsShowTheControllersStateAfterOpening) {
  OpenWith("nature_view = 2;\r\nnature_change_freq = 600000;\r\nbirds_singing = off;\r\nsound_volume = 6;\r\n");
  EXPECT_EQ(ActiveText(W(kSceneList)), "Constantly 4th scene");
  EXPECT_EQ(ActiveText(W(kChangeList)), "never");
  EXPECT_FALSE(gtk_widget_get_sensitive(W(kChangeList)));
  EXPECT_EQ(ActiveText(W(kVolumeList)), "60%");
  EXPECT_FALSE(gtk_widget_get_sensitive(W(kVolumeList)));
  EXPECT_FALSE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(W(kSoundBox))));
  EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(W(kMouseExitBox))));
  EXPECT_EQ(ActiveText(W(kAnimationList)), "Normal");
  EXPECT_EQ(ActiveText(W(kSkyList)), "Normal");
  GtkTreeModel* change = gtk_combo_box_get_model(GTK_COMBO_BOX(W(kChangeList)));
  EXPECT_EQ(gtk_tree_model_iter_n_children(change, nullptr), 13);
}

TEST_F(SettingsViewTest, TimeNotInTheListShowsAnEmptyChangeList) {
  OpenWith("nature_change_freq = 123456;\r\n");
  EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(W(kChangeList))), -1);
  EXPECT_TRUE(gtk_widget_get_sensitive(W(kChangeList)));
}

TEST_F(SettingsViewTest, WidgetSignalsReachTheControllerAndItsAnswerIsDrawn) {
  OpenWith();
  gtk_combo_box_set_active(GTK_COMBO_BOX(W(kSceneList)), 4);
  EXPECT_EQ(options.nature_view, 2);
  EXPECT_EQ(ActiveText(W(kChangeList)), "never");
  EXPECT_FALSE(gtk_widget_get_sensitive(W(kChangeList)));
  gtk_combo_box_set_active(GTK_COMBO_BOX(W(kSceneList)), 0);
  EXPECT_EQ(ActiveText(W(kChangeList)), "every 10 minutes");
  EXPECT_TRUE(gtk_widget_get_sensitive(W(kChangeList)));
  gtk_combo_box_set_active(GTK_COMBO_BOX(W(kChangeList)), 1);
  EXPECT_EQ(options.nature_change_freq, 180000);

  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(W(kSoundBox)), FALSE);
  EXPECT_EQ(options.birds_singing, 0);
  EXPECT_FALSE(gtk_widget_get_sensitive(W(kVolumeList)));
  gtk_combo_box_set_active(GTK_COMBO_BOX(W(kAnimationList)), 3);
  gtk_combo_box_set_active(GTK_COMBO_BOX(W(kSkyList)), 0);
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(W(kMouseExitBox)), FALSE);
  EXPECT_FALSE(dialog.Control(kMouseExitBox).checked);

  gtk_button_clicked(GTK_BUTTON(W(kOkButton)));
  EXPECT_TRUE(dialog.Closed());
  EXPECT_EQ(dialog.Result(), 1);
  const std::string& saved = files.At(kOptionsPath);
  for (const char* line : {"nature_view = 1000;", "nature_change_freq = 180000;", "birds_singing = false;",
                           "background_animation = 3;", "speed_of_sky = 0;", "exit_on_mouse_move = false;"}) {
    EXPECT_NE(saved.find(std::string("\r\n") + line + "\r\n"), std::string::npos) << line;
  }
}

TEST_F(SettingsViewTest, ClosingTheSceneDropDownRunsItsCommandAgain) {
  OpenWith("nature_change_freq = 1800000;\r\n");
  view->Show();
  ProcessEvents();
  ASSERT_EQ(ActiveText(W(kChangeList)), "every 30 minutes");
  gtk_combo_box_popup(GTK_COMBO_BOX(W(kSceneList)));
  ProcessEvents();
  gtk_combo_box_popdown(GTK_COMBO_BOX(W(kSceneList)));
  ProcessEvents();
  EXPECT_EQ(ActiveText(W(kChangeList)), "every 10 minutes");
  EXPECT_EQ(options.nature_change_freq, 600000);
}

TEST_F(SettingsViewTest, CancelButtonEscapeAndCloseBoxAllCancel) {
  files.Put(kOptionsPath, "nature_view = 1;\r\n");
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(way);
    SettingsDialog attempt(options, &report, kPlace);
    attempt.Open();
    SettingsView shown(attempt);
    shown.Show();
    ProcessEvents();
    gtk_combo_box_set_active(GTK_COMBO_BOX(shown.Widget(kSceneList)), 0);
    if (way == 0) gtk_button_clicked(GTK_BUTTON(shown.Widget(kCancelButton)));
    if (way == 1) PressKey(shown.Window(), GDK_KEY_Escape);
    if (way == 2) gtk_window_close(GTK_WINDOW(shown.Window()));
    ProcessEvents();
    EXPECT_TRUE(attempt.Closed());
    EXPECT_EQ(attempt.Result(), 0);
    EXPECT_EQ(files.At(kOptionsPath), "nature_view = 1;\r\n");
  }
}

// Whether the keyboard is at control: on it, or on the part of it that takes the keyboard (a drop-down
// list's button).
bool FocusIsIn(GtkWidget* window, GtkWidget* control) {
  GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
  return focus && (focus == control || gtk_widget_is_ancestor(focus, control));
}

// Each label is its list's name for assistive technology and takes the keyboard to it by its letter.
TEST_F(SettingsViewTest, LabelsNameTheirListsAndTheirAccessKeysReachThem) {
  OpenWith();
  view->Show();
  ProcessEvents();
  for (int index = 0; index < kSettingsControlCount; ++index) {
    const ControlTemplate& control = kSettingsControls[index];
    if (control.kind != ControlKind::Label || control.labelFor == kNoControlId) continue;
    SCOPED_TRACE(control.text);
    GtkWidget* label = view->WidgetAt(index);
    EXPECT_EQ(gtk_label_get_mnemonic_widget(GTK_LABEL(label)), W(control.labelFor));
    EXPECT_EQ(gtk_label_get_mnemonic_keyval(GTK_LABEL(label)),
              gdk_keyval_to_lower(gdk_unicode_to_keyval(control.accessKey)));
    AtkRelationSet* relations = atk_object_ref_relation_set(gtk_widget_get_accessible(W(control.labelFor)));
    AtkRelation* named = atk_relation_set_get_relation_by_type(relations, ATK_RELATION_LABELLED_BY);
    ASSERT_NE(named, nullptr);
    GPtrArray* targets = atk_relation_get_target(named);
    ASSERT_EQ(targets->len, 1u);
    EXPECT_EQ(g_ptr_array_index(targets, 0), gtk_widget_get_accessible(label));
    g_object_unref(relations);
    gtk_widget_mnemonic_activate(label, FALSE);
    EXPECT_TRUE(FocusIsIn(view->Window(), W(control.labelFor)));
  }
}

// Tab from the first control visits the rest as the dialog is read and comes round again; a disabled
// list is passed over.
TEST_F(SettingsViewTest, TabGoesDownTheLeftColumnThenTheRightThenTheButtons) {
  OpenWith("nature_view = 2;\r\n");  // a fixed scene: the change list is disabled
  view->Show();
  ProcessEvents();
  gtk_widget_grab_focus(W(kTabOrder[0]));
  std::vector<int> visited = {kTabOrder[0]};
  for (size_t step = 0; step < kTabOrder.size() - 1; ++step) {
    PressKey(view->Window(), GDK_KEY_Tab);
    int id = kNoControlId;
    for (int candidate : kTabOrder) {
      if (FocusIsIn(view->Window(), W(candidate))) id = candidate;
    }
    visited.push_back(id);
  }
  EXPECT_EQ(visited, (std::vector<int>{kSoundBox, kVolumeList, kMouseExitBox, kSceneList, kAnimationList, kSkyList,
                                       kCancelButton, kOkButton, kSoundBox}));
}

TEST_F(SettingsViewTest, EnterPressesOkUnlessCancelHasTheFocus) {
  OpenWith();
  view->Show();
  ProcessEvents();
  gtk_widget_grab_focus(W(kSceneList));
  PressKey(view->Window(), GDK_KEY_Return);
  EXPECT_TRUE(dialog.Closed());
  EXPECT_EQ(dialog.Result(), 1);
  EXPECT_TRUE(files.Has(kOptionsPath));

  SettingsDialog second(options, &report, kPlace);
  second.Open();
  SettingsView shown(second);
  shown.Show();
  ProcessEvents();
  gtk_widget_grab_focus(shown.Widget(kCancelButton));
  files.files.clear();
  PressKey(shown.Window(), GDK_KEY_Return);
  RunUntilClosed(second);
  EXPECT_TRUE(second.Closed());
  EXPECT_EQ(second.Result(), 0);
  EXPECT_FALSE(files.Has(kOptionsPath));
}

}  // namespace
}  // namespace sylvora

// Sanitizer builds: GTK's lifelong caches are not leaks of ours (see lsan_gtk.supp); full stacks let the
// suppressions see which library allocated.
extern "C" const char* __lsan_default_options() { return "suppressions=" GTK_LEAK_SUPPRESSIONS; }
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
