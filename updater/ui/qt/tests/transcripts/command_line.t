QUILLmar_Update on the console, with no display at all: --help and --version answer on
standard output, a bad command line is refused on standard error (shown after "! ") with
status 2, and no window opens.

  $ q() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM QUILLmar_Update "$@" 2>err; local s=$?; sed 's/^/! /' err; return $s; }
  $ q --help
  Usage: QUILLmar_Update [options]
  Programs, reads back or identifies the QUILLmar unit's firmware over a serial port.
  
  Options:
    -h, --help         Shows these options and ends.
    --version          Shows this program's version and ends.
    --com1 <PORT>      Port behind Com1 (default: the first serial port not
                       behind the other Com button, USB adapters first, else
                       /dev/ttyS0).
    --com2 <PORT>      Port behind Com2 (default: the first serial port not
                       behind the other Com button, USB adapters first, else
                       /dev/ttyS1).
    --folder <FOLDER>  Folder of quillmar.hex and quillread.hex (default: the
                       program's own).
    --block            Starts with Fast transfers chosen: the boot loader's block
                       transfers (one command per 256-byte page) when it offers
                       them; a boot loader without them gets the usual dialogue.
    --no-backup        Starts with "Keep a copy before updating" off: Update
                       erases the unit without saving what it ran first.
    --legacy           The boot loader's dialogue exactly as it always was: no
                       copy before the erase, no version check, no history.
  $ q --version
  QUILLmar_Update <version>
  $ q -platform xcb -h | grep -e --com1
    --com1 <PORT>      Port behind Com1 (default: the first serial port not
  $ q --com3 /dev/ttyS2
  ! QUILLmar_Update: Unknown option 'com3'.
  ! Try 'QUILLmar_Update --help' for the options.
  [2]
  $ q --folder
  ! QUILLmar_Update: Missing value after '--folder'.
  ! Try 'QUILLmar_Update --help' for the options.
  [2]
  $ q quillmar.hex
  ! QUILLmar_Update: Unexpected argument 'quillmar.hex'.
  ! Try 'QUILLmar_Update --help' for the options.
  [2]
  $ q --block=yes
  ! QUILLmar_Update: Unexpected value after '--block'.
  ! Try 'QUILLmar_Update --help' for the options.
  [2]
  $ q -- --folder
  ! QUILLmar_Update: Unexpected argument '--folder'.
  ! Try 'QUILLmar_Update --help' for the options.
  [2]
