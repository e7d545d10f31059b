# Shared by the stages that drive the dialog QUILLmar_Update.exe under Wine (after lib.sh): its
# windows as dialog_probe finds them, and tests of what they show.

main=(QUILLmar_Update 1004) # the main dialog, known by its status line
help=("QUILLmar Update Help" 1003)
about=("About QUILLmar_Update" 1)
box=(QUILLmar_Update 65535) # a message box's text (or, with none open, the dialog's group box)

# dialog_folder: $dialog, a folder named outside the ANSI code page with the dialog and
# quillmar.hex (from $run) in it; the dialog is started from another folder, and its Updates find
# quillmar.hex beside the program.
dialog_folder() {
  dialog=$run/Łódź
  mkdir -p "$dialog"
  cp "$bin/QUILLmar_Update.exe" "$run/quillmar.hex" "$dialog/"
}

# gone WINDOW...: the window is not there.
gone() { ! probe text "$@" >/dev/null; }

# close_help: waits for the help dialog that opens at start-up and closes it with Enter.
close_help() {
  wait_for "the help dialog at start-up" 60 probe text "${help[@]}"
  probe key "${help[@]}" enter
  wait_for "the help dialog to close" 30 gone "${help[@]}"
}

# has_status TEXT...: the main dialog's status line shows one of the texts.
has_status() {
  local status text
  status=$(probe text "${main[@]}") || return 1
  for text in "$@"; do [[ $status == "$text" ]] && return 0; done
  return 1
}

# With no box open, the text the box probe finds is the dialog's own group box.
no_box() { [[ $(probe text "${box[@]}") == "Com Port" ]]; }
# box_or_failed: a message box is open, or the status line says UPDATE FAILED!
box_or_failed() { has_status "UPDATE FAILED!" || ! no_box; }
# box_shows TEXT: the open message box shows TEXT.
box_shows() { [[ $(probe text "${box[@]}" | tr -d '\r') == "$1" ]]; }
# list_text: the port list's text, the chosen port and its device.
list_text() { probe text "${main[0]}" 1009; }
