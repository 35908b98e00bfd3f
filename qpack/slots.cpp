#include "slots.h"
#include "shipped_strings.h"
#include <string.h>

const char* const SheetNames[4] = {"welcome", "destination", "ready", "finish"};

const char* const SlotNames[SLOT_COUNT] = {
    "success_message",      "setup_caption",          "footer",
    "product_title",        "welcome_title",          "license_title",
    "destination_title",    "finish_title",           "confirm_question",
    "init_caption",         "init_text",              "license_text",
    "license_next_button",  "welcome_heading",        "welcome_update_text",
    "welcome_continue_text", "license_instruction",   "license_question",
    "destination_text",     "destination_group",      "space_required_label",
    "space_available_label", "browse_button",         "install_button",
    "finish_text",          "readme_checkbox",        "unused_26",
    "browse_folder_label",  "browse_destination_label", "error_create_folder",
    "default_folder_name",  "error_not_enough_space", "newer_copy_caption",
    "newer_copy_text",      "keep_button",            "overwrite_button",
    "abort_button",         "error_copy_file",        "error_corrupted",
    "question_folder_exists", "status_shortcuts",     "status_done",
    "error_create_log",     "error_write_log",        "status_registry",
    "group_label",          "group_text",             "uninstall_question",
    "uninstall_success",    "uninstall_partial",      "ready_title",
    "group_title",          "cancel_question",        "restart_question",
    "logoff_question",      "uninstall_restart_question", "uninstall_logoff_question",
    "group_folder_question", "default_group",         "finish_text_2",
    "ready_text",           "placeholder_61",         "placeholder_62",
};

int SlotByName(const std::string& name)
{
    for (int i = 0; i < SLOT_COUNT; i++)
        if (name == SlotNames[i])
            return i;
    return -1;
}

const char* ShippedStrings(const std::string& name)
{
    for (const ShippedStringsFile& f : ShippedStringsFiles)
        if (name == f.name)
            return f.text;
    return nullptr;
}
