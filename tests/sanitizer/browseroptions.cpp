// Linked into the browser tests of the sanitizer build only. Chromium inside
// Qt WebEngine deletes some of its own objects through a base class of
// another size; the report is about that library, not our code, and would
// end every test that closes a page.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }
