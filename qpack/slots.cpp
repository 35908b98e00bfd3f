#include "slots.h"
#include "shipped_strings.h"
#include <string.h>

const char* const SheetNames[4] = {"welcome", "destination", "ready", "finish"};

// Each slot's name in manifests and strings files, in slot order.
constexpr SlotName SlotNames[SLOT_COUNT] = {
    {SLOT_SUCCESS_MESSAGE, "success_message"},
    {SLOT_SETUP_CAPTION, "setup_caption"},
    {SLOT_FOOTER, "footer"},
    {SLOT_PRODUCT_TITLE, "product_title"},
    {SLOT_WELCOME_TITLE, "welcome_title"},
    {SLOT_LICENSE_TITLE, "license_title"},
    {SLOT_DESTINATION_TITLE, "destination_title"},
    {SLOT_FINISH_TITLE, "finish_title"},
    {SLOT_CONFIRM_QUESTION, "confirm_question"},
    {SLOT_INIT_CAPTION, "init_caption"},
    {SLOT_INIT_TEXT, "init_text"},
    {SLOT_LICENSE_TEXT, "license_text"},
    {SLOT_LICENSE_NEXT_BUTTON, "license_next_button"},
    {SLOT_WELCOME_HEADING, "welcome_heading"},
    {SLOT_WELCOME_UPDATE_TEXT, "welcome_update_text"},
    {SLOT_WELCOME_CONTINUE_TEXT, "welcome_continue_text"},
    {SLOT_LICENSE_INSTRUCTION, "license_instruction"},
    {SLOT_LICENSE_QUESTION, "license_question"},
    {SLOT_DESTINATION_TEXT, "destination_text"},
    {SLOT_DESTINATION_GROUP, "destination_group"},
    {SLOT_SPACE_REQUIRED_LABEL, "space_required_label"},
    {SLOT_SPACE_AVAILABLE_LABEL, "space_available_label"},
    {SLOT_BROWSE_BUTTON, "browse_button"},
    {SLOT_INSTALL_BUTTON, "install_button"},
    {SLOT_FINISH_TEXT, "finish_text"},
    {SLOT_README_CHECKBOX, "readme_checkbox"},
    {SLOT_UNUSED_26, "unused_26"},
    {SLOT_BROWSE_FOLDER_LABEL, "browse_folder_label"},
    {SLOT_BROWSE_DESTINATION_LABEL, "browse_destination_label"},
    {SLOT_ERROR_CREATE_FOLDER, "error_create_folder"},
    {SLOT_DEFAULT_FOLDER_NAME, "default_folder_name"},
    {SLOT_ERROR_NOT_ENOUGH_SPACE, "error_not_enough_space"},
    {SLOT_NEWER_COPY_CAPTION, "newer_copy_caption"},
    {SLOT_NEWER_COPY_TEXT, "newer_copy_text"},
    {SLOT_KEEP_BUTTON, "keep_button"},
    {SLOT_OVERWRITE_BUTTON, "overwrite_button"},
    {SLOT_ABORT_BUTTON, "abort_button"},
    {SLOT_ERROR_COPY_FILE, "error_copy_file"},
    {SLOT_ERROR_CORRUPTED, "error_corrupted"},
    {SLOT_QUESTION_FOLDER_EXISTS, "question_folder_exists"},
    {SLOT_STATUS_SHORTCUTS, "status_shortcuts"},
    {SLOT_STATUS_DONE, "status_done"},
    {SLOT_ERROR_CREATE_LOG, "error_create_log"},
    {SLOT_ERROR_WRITE_LOG, "error_write_log"},
    {SLOT_STATUS_REGISTRY, "status_registry"},
    {SLOT_GROUP_LABEL, "group_label"},
    {SLOT_GROUP_TEXT, "group_text"},
    {SLOT_UNINSTALL_QUESTION, "uninstall_question"},
    {SLOT_UNINSTALL_SUCCESS, "uninstall_success"},
    {SLOT_UNINSTALL_PARTIAL, "uninstall_partial"},
    {SLOT_READY_TITLE, "ready_title"},
    {SLOT_GROUP_TITLE, "group_title"},
    {SLOT_CANCEL_QUESTION, "cancel_question"},
    {SLOT_RESTART_QUESTION, "restart_question"},
    {SLOT_LOGOFF_QUESTION, "logoff_question"},
    {SLOT_UNINSTALL_RESTART_QUESTION, "uninstall_restart_question"},
    {SLOT_UNINSTALL_LOGOFF_QUESTION, "uninstall_logoff_question"},
    {SLOT_GROUP_FOLDER_QUESTION, "group_folder_question"},
    {SLOT_DEFAULT_GROUP, "default_group"},
    {SLOT_FINISH_TEXT_2, "finish_text_2"},
    {SLOT_READY_TEXT, "ready_text"},
    {SLOT_PLACEHOLDER_61, "placeholder_61"},
    {SLOT_PLACEHOLDER_62, "placeholder_62"},
};

constexpr bool InSlotOrder(int i = 0)
{
    return i == SLOT_COUNT || (SlotNames[i].slot == i && InSlotOrder(i + 1));
}
static_assert(InSlotOrder(), "the slot names are listed in slot order");

int SlotByName(const std::string& name)
{
    for (int i = 0; i < SLOT_COUNT; i++)
        if (name == SlotNames[i].name)
            return i;
    return -1;
}

std::string ShippedLanguages()
{
    std::string list;
    for (const ShippedStringsFile& f : ShippedStringsFiles)
        list += (list.empty() ? "\"" : ", \"") + std::string(f.name) + "\"";
    return list;
}

const char* ShippedStrings(const std::string& name)
{
    for (const ShippedStringsFile& f : ShippedStringsFiles)
        if (name == f.name)
            return f.text;
    return nullptr;
}
