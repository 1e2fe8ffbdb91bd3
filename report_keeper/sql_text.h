// The SQL texts the program sends to its database, as the database unit
// expects them. Every text value goes in between single quotes with its own
// quotes doubled, so that a name such as x' or '1'='1 is only a name.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "date_text.h"
#include "settlement.h"

namespace keeper {

std::string Quoted(const std::string& text);  // 'text' with '' for '

// The columns of 项目数据 after 编号, in the order of the INSERT.
extern const char* const kRecordColumns[18];

std::string UserNamesQuery();
std::string LoginQuery(const std::string& name);  // also the rights query
// The nine right columns of 用户信息, in the order of the INSERT.
extern const char* const kRightColumns[9];

struct UserAccount {
  std::string name;
  std::string password;
  std::array<bool, 9> rights{};  // in kRightColumns order
};

std::string UserListQuery();
std::string SelectUser(long long key);
std::string UserNameTakenQuery(const std::string& name);
std::string InsertUser(const UserAccount& user);
std::string UpdateUser(const UserAccount& user, long long key);
std::string DeleteUser(long long key);

// The one row of 单位名称: the using unit's name.
using UnitName = std::string;

std::string UnitNameQuery();
std::string InsertUnitName(const UnitName& name);

// "#Y/M/D#" and "#Y-M-D#" parts, without leading zeros.
std::string SlashDate(const zz::DateTime& d);
std::string DashDate(int year, int month, int day);

std::string DuplicateDateQuery(const zz::DateTime& day);
std::string PeriodQuery(const Period& p);
// The current settlement period's rows in each mode.
std::string QueryPeriod25th(const zz::DateTime& today);
std::string QueryPeriodMonth(const zz::DateTime& today);
std::string RangeQuery(const zz::DateTime& first, const zz::DateTime& last);
// The statistics report's days: the two dates as they stand, both included;
// the same text as the period query.
std::string StatisticsQuery(const zz::DateTime& start, const zz::DateTime& end);
std::string SelectRecord(long long key);
std::string DeleteRecord(long long key);
// A row of 项目数据 as the entry fields hold it: the date text then the
// seventeen figure texts, in kRecordColumns order.
using IncomeRecord = std::vector<std::string>;
std::string InsertRecord(const IncomeRecord& values);
std::string UpdateRecord(const IncomeRecord& values, long long key);

}  // namespace keeper
