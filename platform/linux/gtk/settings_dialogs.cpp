#include "platform/linux/gtk/settings_dialogs.h"

#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

#include <filesystem>
#include <functional>

#include "archive/utf.h"
#include "host/document_choice.h"
#include "host/mnemonic_label.h"
#include "host/string_table.h"
#include "platform/open_web_address.h"

namespace lumi {
namespace {

constexpr int kMinimumScaleHeight = 160;

std::string Text(int dialog, int control) {
  return ToUnderscoreMnemonic(FindDialogText(dialog, control).value_or(u""));
}

// The n-th label or group of a dialog without an id of its own.
std::string Unnamed(int dialog, int n) {
  for (const DialogText& entry : DialogTexts()) {
    if (entry.dialog == dialog && entry.control == kControlUnnamed && n-- == 0) return ToUnderscoreMnemonic(entry.text);
  }
  return {};
}

std::string StringText(std::uint32_t id) { return ToUtf8(FindString(id).value_or(u"")); }

// A group box: a frame with its title and the controls in a column.
GtkWidget* Group(GtkWidget* parent, const std::string& title) {
  GtkWidget* frame = gtk_frame_new(title.c_str());
  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
  gtk_container_set_border_width(GTK_CONTAINER(column), 8);
  gtk_container_add(GTK_CONTAINER(frame), column);
  gtk_box_pack_start(GTK_BOX(parent), frame, FALSE, FALSE, 0);
  return column;
}

// A label that names `control` for screen readers and gives its access key.
void LabelFor(GtkWidget* box, const std::string& text, GtkWidget* control) {
  GtkWidget* label = gtk_label_new_with_mnemonic(text.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0);
  gtk_label_set_mnemonic_widget(GTK_LABEL(label), control);
  gtk_box_pack_start(GTK_BOX(box), label, FALSE, FALSE, 0);
}

GtkWidget* NewDialog(GtkWindow* parent, const std::string& title, int dialog_id) {
  GtkWidget* dialog = gtk_dialog_new_with_buttons(title.c_str(), parent, GTK_DIALOG_MODAL,
                                                  Text(dialog_id, kControlCancel).c_str(), GTK_RESPONSE_CANCEL,
                                                  Text(dialog_id, kControlOk).c_str(), GTK_RESPONSE_OK, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  gtk_window_set_resizable(GTK_WINDOW(dialog), FALSE);
  gtk_container_set_border_width(GTK_CONTAINER(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), 10);
  gtk_box_set_spacing(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), 8);
  return dialog;
}

// Another program's X window, such as the one the control panel or a
// settings host gives with /c:ID, keeps `window` above it and places it;
// an ID that names no window is ignored.
void SetForeignParent(GtkWidget* window, WindowHandle parent) {
#ifdef GDK_WINDOWING_X11
  GdkDisplay* display = gtk_widget_get_display(window);
  if (parent <= 0 || !GDK_IS_X11_DISPLAY(display)) return;
  GdkWindow* foreign = gdk_x11_window_foreign_new_for_display(display, static_cast<Window>(parent));
  if (foreign == nullptr) return;
  gtk_widget_realize(window);
  gdk_window_set_transient_for(gtk_widget_get_window(window), foreign);
  // The dialog keeps the window it refers to for as long as it lives.
  g_object_set_data_full(G_OBJECT(window), "lumi-foreign-parent", foreign, g_object_unref);
#else
  (void)window;
  (void)parent;
#endif
}

// Escape, closing and Cancel all answer something other than OK.
bool RunForOk(GtkWidget* dialog) {
  gtk_widget_show_all(dialog);
  const bool ok = gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK;
  gtk_widget_destroy(dialog);
  return ok;
}

// Runs a dialog a button asks for once the button's "clicked" handler has
// returned. Screen readers press buttons through calls on the accessibility
// bus, and a dialog run inside such a call keeps the whole application from
// answering the bus until it closes: the reader could neither see nor work
// the dialog it opened. One dialog at a time; one still waiting when its
// owner ends is dropped.
class LaterDialog {
 public:
  LaterDialog() = default;
  LaterDialog(const LaterDialog&) = delete;
  LaterDialog& operator=(const LaterDialog&) = delete;
  ~LaterDialog() {
    if (source_ != 0) g_source_remove(source_);
  }

  void Run(std::function<void()> run) {
    if (busy_) return;
    busy_ = true;
    run_ = std::move(run);
    source_ = g_idle_add(
        +[](gpointer self) -> gboolean {
          auto& later = *static_cast<LaterDialog*>(self);
          later.source_ = 0;
          later.run_();
          later.busy_ = false;
          return G_SOURCE_REMOVE;
        },
        this);
  }

 private:
  guint source_ = 0;
  bool busy_ = false;  // waiting or running
  std::function<void()> run_;
};

struct DisplayPage {
  DisplaySettingsModel* model;
  GtkWidget* dialog;
  GtkWidget* rendering;
  GtkWidget* disable_hardware;
  GtkWidget* modes;
  GtkWidget* quality;
  bool filling = false;  // the page changes its own controls: no events
  LaterDialog help_box;
};

void FillDisplayPage(DisplayPage& page) {
  page.filling = true;
  gtk_label_set_text(GTK_LABEL(page.rendering), StringText(page.model->RenderingTextId()).c_str());
  gtk_widget_set_sensitive(page.disable_hardware, page.model->DisableHardwareEnabled());
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(page.disable_hardware), page.model->DisableHardwareChecked());
  gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(page.modes));
  for (const ModeLine& line : page.model->ModeLines()) {
    gtk_combo_box_text_append(GTK_COMBO_BOX_TEXT(page.modes), std::to_string(line.item).c_str(),
                              ToUtf8(line.text).c_str());
  }
  gtk_combo_box_set_active(GTK_COMBO_BOX(page.modes), static_cast<int>(page.model->SelectedLine()));
  gtk_combo_box_set_active(GTK_COMBO_BOX(page.quality), static_cast<int>(page.model->SelectedQuality()));
  page.filling = false;
}

void ShowHelp(DisplayPage& page) {
  GtkWidget* box = gtk_message_dialog_new(GTK_WINDOW(page.dialog), GTK_DIALOG_MODAL, GTK_MESSAGE_INFO, GTK_BUTTONS_OK,
                                          "%s", StringText(page.model->HelpTextId()).c_str());
  gtk_window_set_title(GTK_WINDOW(box), ToUtf8(page.model->AdapterName()).c_str());
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
}

void RunDisplaySettings(GtkWindow* parent, DisplaySettingsModel& model) {
  GtkWidget* dialog = NewDialog(parent, Text(kDialogDisplaySettings, kControlCaption), kDialogDisplaySettings);
  GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
  DisplayPage page{&model, dialog, gtk_label_new(""), gtk_check_button_new_with_mnemonic(
                                                          Text(kDialogDisplaySettings, kControlDisableHardware).c_str()),
                   gtk_combo_box_text_new(), gtk_combo_box_text_new()};
  for (const std::u16string& item : model.QualityItems()) {
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(page.quality), ToUtf8(item).c_str());
  }
  GtkWidget* name = gtk_label_new(ToUtf8(model.AdapterName()).c_str());
  gtk_label_set_xalign(GTK_LABEL(name), 0);
  gtk_label_set_xalign(GTK_LABEL(page.rendering), 0);
  gtk_label_set_line_wrap(GTK_LABEL(page.rendering), TRUE);
  gtk_box_pack_start(GTK_BOX(content), name, FALSE, FALSE, 0);
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
  gtk_box_pack_start(GTK_BOX(row), page.rendering, TRUE, TRUE, 0);
  GtkWidget* help = gtk_button_new_with_mnemonic(Text(kDialogDisplaySettings, kControlHelp).c_str());
  gtk_box_pack_end(GTK_BOX(row), help, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(content), row, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(content), page.disable_hardware, FALSE, FALSE, 0);
  GtkWidget* quality_row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
  LabelFor(quality_row, Text(kDialogDisplaySettings, kControlQualityLabel), page.quality);
  gtk_box_pack_start(GTK_BOX(quality_row), page.quality, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(content), quality_row, FALSE, FALSE, 0);
  GtkWidget* group = Group(content, Text(kDialogDisplaySettings, kControlDisplayModeGroup));
  LabelFor(group, Text(kDialogDisplaySettings, kControlDisplayModeLabel), page.modes);
  gtk_box_pack_start(GTK_BOX(group), page.modes, FALSE, FALSE, 0);
  GtkWidget* note = gtk_label_new(Text(kDialogDisplaySettings, kControlDisplayModeNote).c_str());
  gtk_label_set_line_wrap(GTK_LABEL(note), TRUE);
  gtk_label_set_max_width_chars(GTK_LABEL(note), 50);
  gtk_label_set_xalign(GTK_LABEL(note), 0);
  gtk_box_pack_start(GTK_BOX(group), note, FALSE, FALSE, 0);
  FillDisplayPage(page);

  g_signal_connect(help, "clicked", G_CALLBACK(+[](GtkButton*, DisplayPage* p) {
                     p->help_box.Run([p] { ShowHelp(*p); });
                   }),
                   &page);
  g_signal_connect(page.disable_hardware, "toggled", G_CALLBACK(+[](GtkToggleButton* box, DisplayPage* p) {
                     if (p->filling) return;
                     p->model->SetDisableHardware(gtk_toggle_button_get_active(box));
                     FillDisplayPage(*p);
                   }),
                   &page);
  g_signal_connect(page.modes, "changed", G_CALLBACK(+[](GtkComboBox* combo, DisplayPage* p) {
                     const int line = gtk_combo_box_get_active(combo);
                     if (!p->filling && line >= 0) p->model->SelectLine(static_cast<std::size_t>(line));
                   }),
                   &page);
  g_signal_connect(page.quality, "changed", G_CALLBACK(+[](GtkComboBox* combo, DisplayPage* p) {
                     const int item = gtk_combo_box_get_active(combo);
                     if (!p->filling && item >= 0) p->model->SelectQuality(static_cast<std::size_t>(item));
                   }),
                   &page);
  if (!RunForOk(dialog)) model.Cancel();
}

void RunSoundSettings(GtkWindow* parent, SoundSettingsModel model) {
  GtkWidget* dialog = NewDialog(parent, Text(kDialogSoundSettings, kControlCaption), kDialogSoundSettings);
  GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
  GtkWidget* group = Group(content, Unnamed(kDialogSoundSettings, 0));
  // The scale shows the volume itself, loudest at the top, so screen
  // readers read the volume; the model takes the position from the top.
  GtkWidget* scale = gtk_scale_new_with_range(GTK_ORIENTATION_VERTICAL, 0, kMaxSoundVolume, 1);
  gtk_range_set_inverted(GTK_RANGE(scale), TRUE);
  gtk_range_set_value(GTK_RANGE(scale), model.Volume());
  for (int mark = 0; mark <= static_cast<int>(kMaxSoundVolume); mark += kVolumeTickFrequency) {
    gtk_scale_add_mark(GTK_SCALE(scale), mark, GTK_POS_RIGHT, nullptr);
  }
  gtk_widget_set_size_request(scale, -1, kMinimumScaleHeight);
  atk_object_set_name(gtk_widget_get_accessible(scale), Unnamed(kDialogSoundSettings, 0).c_str());
  gtk_box_pack_start(GTK_BOX(group), scale, TRUE, TRUE, 0);
  GtkWidget* mute = gtk_check_button_new_with_mnemonic(Text(kDialogSoundSettings, kControlMute).c_str());
  gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(mute), model.Muted());
  gtk_box_pack_start(GTK_BOX(content), mute, FALSE, FALSE, 0);
  gtk_widget_show_all(dialog);
  if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK) {
    model.SetScalePosition(static_cast<int>(kMaxSoundVolume) - static_cast<int>(gtk_range_get_value(GTK_RANGE(scale)) + 0.5));
    model.SetMuted(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(mute)));
    model.Ok();
  }
  gtk_widget_destroy(dialog);
}

struct ConfigurationPage {
  ConfigurationModel* model;
  GtkWidget* dialog;
  LaterDialog settings;  // Display Settings or Sound Settings
  GtkWidget* kind = nullptr;     // what plays: the demo, a document or a folder's documents
  GtkWidget* chooser = nullptr;  // the document or the folder
};

// The choice as the two controls show it.
void StoreDocumentChoice(ConfigurationPage& page) {
  const auto kind = static_cast<DocumentKind>(gtk_combo_box_get_active(GTK_COMBO_BOX(page.kind)));
  gtk_widget_set_visible(page.chooser, kind != DocumentKind::Demo);
  gtk_file_chooser_set_action(GTK_FILE_CHOOSER(page.chooser), kind == DocumentKind::Document
                                                                   ? GTK_FILE_CHOOSER_ACTION_OPEN
                                                                   : GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER);
  std::filesystem::path picked;
  if (gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(page.chooser))) {
    picked = name;
    g_free(name);
  }
  page.model->ChooseDocuments(ChoiceOfControls(kind, picked));
}

void AddDocumentChooser(GtkWidget* content, ConfigurationPage& page) {
  GtkWidget* group = Group(content, "Documents");
  page.kind = gtk_combo_box_text_new();
  for (const char* item : {"The demo the saver carries", "One document", "A folder's documents, in turn by name",
                           "A folder's documents, shuffled"}) {
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(page.kind), item);
  }
  LabelFor(group, "_Play:", page.kind);
  gtk_box_pack_start(GTK_BOX(group), page.kind, FALSE, FALSE, 0);
  page.chooser = gtk_file_chooser_button_new("Choose what to play", GTK_FILE_CHOOSER_ACTION_OPEN);
  gtk_widget_set_no_show_all(page.chooser, TRUE);
  gtk_box_pack_start(GTK_BOX(group), page.chooser, FALSE, FALSE, 0);

  const DocumentChoice& choice = page.model->Documents();
  const std::filesystem::path chosen(choice.path);
  const DocumentKind kind = KindOfChoice(choice);
  gtk_combo_box_set_active(GTK_COMBO_BOX(page.kind), static_cast<int>(kind));
  gtk_widget_set_visible(page.chooser, kind != DocumentKind::Demo);
  if (kind == DocumentKind::FolderInOrder || kind == DocumentKind::FolderShuffled) {
    gtk_file_chooser_set_action(GTK_FILE_CHOOSER(page.chooser), GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER);
  }
  if (!chosen.empty()) gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(page.chooser), chosen.c_str());
  g_signal_connect(page.kind, "changed",
                   G_CALLBACK(+[](GtkComboBox*, ConfigurationPage* p) { StoreDocumentChoice(*p); }), &page);
  g_signal_connect(page.chooser, "file-set",
                   G_CALLBACK(+[](GtkFileChooserButton*, ConfigurationPage* p) { StoreDocumentChoice(*p); }), &page);
}

}  // namespace

void RunConfigurationDialog(ConfigurationModel& model, WindowHandle parent) {
  GtkWidget* dialog = NewDialog(nullptr, ToUtf8(model.Title()), kDialogConfiguration);
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  SetForeignParent(dialog, parent);
  GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
  ConfigurationPage page{&model, dialog};

  GtkWidget* image = Group(content, Unnamed(kDialogConfiguration, 0));
  GtkWidget* position = gtk_combo_box_text_new();
  for (const std::u16string& item : model.PositionItems()) {
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(position), ToUtf8(item).c_str());
  }
  gtk_combo_box_set_active(GTK_COMBO_BOX(position), static_cast<int>(model.SelectedPosition()));
  LabelFor(image, Unnamed(kDialogConfiguration, 1), position);
  gtk_box_pack_start(GTK_BOX(image), position, FALSE, FALSE, 0);
  g_signal_connect(position, "changed", G_CALLBACK(+[](GtkComboBox* combo, ConfigurationPage* p) {
                     const int index = gtk_combo_box_get_active(combo);
                     if (index >= 0) p->model->SelectPosition(static_cast<std::size_t>(index));
                   }),
                   &page);
  AddDocumentChooser(content, page);

  GtkWidget* display = gtk_button_new_with_mnemonic(Text(kDialogConfiguration, kControlDisplaySettings).c_str());
  gtk_box_pack_start(GTK_BOX(Group(content, Unnamed(kDialogConfiguration, 2))), display, FALSE, FALSE, 0);
  g_signal_connect(display, "clicked", G_CALLBACK(+[](GtkButton*, ConfigurationPage* p) {
                     p->settings.Run([p] {
                       DisplaySettingsModel display_model = p->model->DisplaySettings();
                       RunDisplaySettings(GTK_WINDOW(p->dialog), display_model);
                     });
                   }),
                   &page);

  GtkWidget* sound = gtk_button_new_with_mnemonic(Text(kDialogConfiguration, kControlSoundSettings).c_str());
  gtk_box_pack_start(GTK_BOX(Group(content, Unnamed(kDialogConfiguration, 3))), sound, FALSE, FALSE, 0);
  g_signal_connect(sound, "clicked", G_CALLBACK(+[](GtkButton*, ConfigurationPage* p) {
                     p->settings.Run([p] { RunSoundSettings(GTK_WINDOW(p->dialog), p->model->SoundSettings()); });
                   }),
                   &page);

  GtkWidget* information = Group(content, Unnamed(kDialogConfiguration, 4));
  GtkWidget* text = gtk_label_new(ToUtf8(model.InformationText()).c_str());
  gtk_label_set_xalign(GTK_LABEL(text), 0);
  gtk_box_pack_start(GTK_BOX(information), text, FALSE, FALSE, 0);
  GtkWidget* website = gtk_button_new_with_mnemonic(Text(kDialogConfiguration, kControlWebsite).c_str());
  gtk_box_pack_start(GTK_BOX(information), website, FALSE, FALSE, 0);
  // A browser that cannot be started changes nothing here.
  g_signal_connect(website, "clicked", G_CALLBACK(+[](GtkButton*, ConfigurationPage* p) {
                     OpenWebAddress(p->model->WebAddress());
                   }),
                   &page);

  if (RunForOk(dialog)) {
    model.Ok();
  } else {
    model.Cancel();
  }
}

void ShowErrorMessage(std::u16string_view title, std::u16string_view text, WindowHandle parent) {
  GtkWidget* box = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s",
                                          ToUtf8(text).c_str());
  gtk_window_set_title(GTK_WINDOW(box), ToUtf8(title).c_str());
  gtk_window_set_position(GTK_WINDOW(box), GTK_WIN_POS_CENTER);
  SetForeignParent(box, parent);
  gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
}

}  // namespace lumi
