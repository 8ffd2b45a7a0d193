// The kind of each element, as its typeKeyword holds it. The window
// procedure reads the kind to route a control's notifications (a check box's
// click, a list's new selection, a timer's tick) to the element.
#pragma once

namespace QVUtility::TypeKeyword {

inline constexpr char Form[] = "form";
inline constexpr char MenuBar[] = "menubar";
inline constexpr char Menu[] = "menu";
inline constexpr char SubMenu[] = "submenu";
inline constexpr char Button[] = "button";
inline constexpr char CheckBox[] = "checkbox";
inline constexpr char ComboBox[] = "combobox";
inline constexpr char ComboBoxEx[] = "ComboBoxEx";
inline constexpr char DatePicker[] = "datepicker";
inline constexpr char GroupBox[] = "groupbox";
inline constexpr char Image[] = "image";
inline constexpr char Label[] = "label";
inline constexpr char ListBox[] = "listbox";
inline constexpr char ListView[] = "listview";
inline constexpr char NumericBox[] = "numericbox";
inline constexpr char Panel[] = "panel";
inline constexpr char StatusBar[] = "statusbar";
inline constexpr char TextBox[] = "textbox";
inline constexpr char Timer[] = "timer";
inline constexpr char ToolBar[] = "toolbar";
inline constexpr char ToolBarItem[] = "toolbaritem";

}  // namespace QVUtility::TypeKeyword
