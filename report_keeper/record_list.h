// The record list: its eighteen columns and its filling from a query.
#pragma once

#include <string>

#include "database_connection.h"
#include "window_model.h"

namespace keeper {

void SetupRecordListColumns(rt::WindowModel& window, const char* list);
// Replaces the list's rows by the rows of the query; each row carries its
// key as item data.
void FillRecordList(rt::WindowModel& window, const char* list, mdb::DatabaseConnection& db,
                    const std::string& sql);

}  // namespace keeper
