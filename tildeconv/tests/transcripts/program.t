tildeconv as a user runs it: its console text, exit status and the files it leaves. Each case
starts in an empty folder of its own; `files` lists what is left there, folders with a slash,
and `tc` runs tildeconv and shows its exit status after its console text.

  $ top=$PWD; fresh() { cd "$top" && rm -rf case && mkdir case && cd case; }
  $ files() { echo "files:" $(ls -p); }
  $ tc() { tildeconv "$@"; echo " [$?]"; }

A page becomes page.syn beside it: feedback markers lose their tilde's twin, other tilde's are
doubled. An older, longer output is replaced whole; a second argument is not read.

  $ fresh; printf 'a<!--~-->b~c' >page.htm; tc page.htm; cat page.syn page.htm; echo; files
  page.syn: Replaced 1 feedback tilde.    Duplicated 1 regular tilde.
   [0]
  a~b~~ca<!--~-->b~c
  files: page.htm page.syn
  $ fresh; echo an older and longer page >page.syn; printf '~' >page.htm; tc page.htm; cat page.syn; echo; files
  page.syn: Replaced 0 feedback tilde's.  Duplicated 1 regular tilde.
   [0]
  ~~
  files: page.htm page.syn
  $ fresh; : >page.htm; tc page.htm other.htm; wc -c <page.syn; files
  page.syn: Replaced 0 feedback tilde's.  Duplicated 0 regular tilde's.
   [0]
  0
  files: page.htm page.syn

--help begins with the usage lines, named as the program was started, and succeeds; without a
page the usage fails. --version only as the sole argument; otherwise it is a page name as ever.

  $ fresh; ln -s "$(command -v tildeconv)" tc; ./tc --help | head -n 3; ./tc; echo " [$?]"; files
  usage: ./tc <sourcefile>.htm
     or: ./tc <sourcefile>.html
  
  usage: ./tc <sourcefile>.htm
     or: ./tc <sourcefile>.html
   [1]
  files: tc
  $ tc --version
  tildeconv <version>
   [0]
  $ fresh; tc --version page.htm; tc absent.htm; files
  Couldn't open source file: No such file or directory [1]
  Couldn't open source file: No such file or directory [1]
  files:

Files that cannot be used. flock(1) locks as another program would; the source is held while
it is read, the output while it is written, so a page whose output leads back to it is refused
and kept. With SIGXFSZ ignored, writing past `ulimit -f` fails and takes the unfinished output
away; reading a process's memory at address 0 fails with an I/O error.

  $ fresh; mkdir page.htm; tc page.htm; files
  Couldn't open source file: Is a directory [1]
  files: page.htm/
  $ fresh; : >page.htm; (exec 9<page.htm; flock -s 9; tc page.htm; flock 9; tc page.htm); files
  page.syn: Replaced 0 feedback tilde's.  Duplicated 0 regular tilde's.
   [0]
  Couldn't open source file: Resource temporarily unavailable [1]
  files: page.htm page.syn
  $ fresh; : >page.htm; mkdir page.syn; tc page.htm; files
  page.syn: Couldn't open source file: Is a directory [1]
  files: page.htm page.syn/
  $ fresh; : >page.htm; printf 'in use' >page.syn; (exec 9<page.syn; flock -s 9; tc page.htm); cat page.syn; echo; files
  page.syn: Couldn't open source file: Resource temporarily unavailable [1]
  in use
  files: page.htm page.syn
  $ fresh; printf 'a~b' >page.htm; ln -s page.htm page.syn; tc page.htm; cat page.htm; echo; files
  page.syn: Couldn't open source file: Resource temporarily unavailable [1]
  a~b
  files: page.htm page.syn
  $ fresh; head -c 100000 /dev/zero >page.htm; (trap '' XFSZ; ulimit -f 8; tc page.htm); files
  page.syn: Couldn't write output file page.syn: File too large
   [1]
  files: page.htm
  $ fresh; ln -s /proc/self/mem page.htm; tc page.htm; files
  page.syn: Couldn't read source file page.htm: Input/output error
   [1]
  files: page.htm

An output that is a link to a page elsewhere, as to a served one, is written through the link:
the link stays, and the page it leads to holds the result.

  $ fresh; mkdir served; echo old >served/page.syn; ln -s served/page.syn page.syn; printf 'a~b' >page.htm
  $ tc page.htm; stat -c '%F %N' page.syn; cat served/page.syn; echo; ls -A served
  page.syn: Replaced 0 feedback tilde's.  Duplicated 1 regular tilde.
   [0]
  symbolic link 'page.syn' -> 'served/page.syn'
  a~~b
  page.syn

The page is read in blocks of 65536 bytes: a full one; a marker across the end of one; a
marker left unfinished at the end of the page, just as the block ends.

  $ a() { head -c "$1" /dev/zero | tr '\0' a; }; B=65536
  $ fresh; a $B | tr a '~' >page.htm; tc page.htm; tr -d '~' <page.syn | wc -c; wc -c <page.syn; files
  page.syn: Replaced 0 feedback tilde's.  Duplicated 65536 regular tilde's.
   [0]
  0
  131072
  files: page.htm page.syn
  $ fresh; { a $((B - 4)); printf '<!--~-->'; a $((B - 7)); printf '<!--~-->'; a 9; } >page.htm
  $ tc page.htm; tr -d a <page.syn; wc -c <page.syn; files
  page.syn: Replaced 2 feedback tilde's.  Duplicated 0 regular tilde's.
   [0]
  ~~131072
  files: page.htm page.syn
  $ fresh; { a $((B - 7)); printf '<!--~--'; } >page.htm; tc page.htm; tail -c 9 page.syn; echo; wc -c <page.syn; files
  page.syn: Replaced 0 feedback tilde's.  Duplicated 1 regular tilde.
   [0]
  a<!--~~--
  65537
  files: page.htm page.syn
