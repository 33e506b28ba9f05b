// CTime and CTimeSpan: seconds since 1970 (UTC) shown in local time.  As in
// the original's 32-bit run-time, a date outside 1970 .. 2038 makes the
// invalid time -1.
#pragma once

#include "platform/win32.h"
#include "platform/mfc/String.h"

#include <ctime>

class CArchive;

class CTimeSpan {
public:
    CTimeSpan() : m_timeSpan(0) {}
    CTimeSpan(time_t time) : m_timeSpan(time) {}
    CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs);

    LONG GetDays() const { return static_cast<LONG>(m_timeSpan / (24 * 3600)); }
    LONG GetTotalHours() const { return static_cast<LONG>(m_timeSpan / 3600); }
    int GetHours() const { return static_cast<int>(GetTotalHours() - GetDays() * 24); }
    LONG GetTotalMinutes() const { return static_cast<LONG>(m_timeSpan / 60); }
    int GetMinutes() const { return static_cast<int>(GetTotalMinutes() - GetTotalHours() * 60); }
    LONG GetTotalSeconds() const { return static_cast<LONG>(m_timeSpan); }
    int GetSeconds() const { return static_cast<int>(GetTotalSeconds() - GetTotalMinutes() * 60); }

    CTimeSpan operator-(CTimeSpan other) const { return CTimeSpan(m_timeSpan - other.m_timeSpan); }
    CTimeSpan operator+(CTimeSpan other) const { return CTimeSpan(m_timeSpan + other.m_timeSpan); }
    const CTimeSpan& operator+=(CTimeSpan other) { m_timeSpan += other.m_timeSpan; return *this; }
    const CTimeSpan& operator-=(CTimeSpan other) { m_timeSpan -= other.m_timeSpan; return *this; }
    bool operator==(CTimeSpan other) const { return m_timeSpan == other.m_timeSpan; }
    bool operator!=(CTimeSpan other) const { return m_timeSpan != other.m_timeSpan; }
    bool operator<(CTimeSpan other) const { return m_timeSpan < other.m_timeSpan; }
    bool operator>(CTimeSpan other) const { return m_timeSpan > other.m_timeSpan; }
    bool operator<=(CTimeSpan other) const { return m_timeSpan <= other.m_timeSpan; }
    bool operator>=(CTimeSpan other) const { return m_timeSpan >= other.m_timeSpan; }

    // %D days, %H hours, %M minutes, %S seconds (two digits each), %% a percent.
    CString Format(LPCTSTR pFormat) const;

    time_t m_timeSpan;
};

class CTime {
public:
    static CTime GetCurrentTime();

    CTime() : m_time(0) {}
    CTime(time_t time) : m_time(time) {}
    // Local time; nDST 0 standard time, 1 daylight time, -1 the system decides.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
    CTime(WORD wDosDate, WORD wDosTime, int nDST = -1);
    CTime(const SYSTEMTIME& sysTime, int nDST = -1);
    CTime(const FILETIME& fileTime, int nDST = -1);

    const CTime& operator=(time_t t) { m_time = t; return *this; }

    // Broken-down time, copied into ptm when given, otherwise in a buffer of
    // the calling thread that the next call overwrites.
    struct tm* GetGmtTm(struct tm* ptm = nullptr) const;
    struct tm* GetLocalTm(struct tm* ptm = nullptr) const;
    BOOL GetAsSystemTime(SYSTEMTIME& timeDest) const;

    time_t GetTime() const { return m_time; }
    int GetYear() const { return GetLocalTm()->tm_year + 1900; }
    int GetMonth() const { return GetLocalTm()->tm_mon + 1; }
    int GetDay() const { return GetLocalTm()->tm_mday; }
    int GetHour() const { return GetLocalTm()->tm_hour; }
    int GetMinute() const { return GetLocalTm()->tm_min; }
    int GetSecond() const { return GetLocalTm()->tm_sec; }
    int GetDayOfWeek() const { return GetLocalTm()->tm_wday + 1; }  // 1 = Sunday

    CTimeSpan operator-(CTime other) const { return CTimeSpan(m_time - other.m_time); }
    CTime operator-(CTimeSpan span) const { return CTime(m_time - span.m_timeSpan); }
    CTime operator+(CTimeSpan span) const { return CTime(m_time + span.m_timeSpan); }
    const CTime& operator+=(CTimeSpan span) { m_time += span.m_timeSpan; return *this; }
    const CTime& operator-=(CTimeSpan span) { m_time -= span.m_timeSpan; return *this; }
    bool operator==(CTime other) const { return m_time == other.m_time; }
    bool operator!=(CTime other) const { return m_time != other.m_time; }
    bool operator<(CTime other) const { return m_time < other.m_time; }
    bool operator>(CTime other) const { return m_time > other.m_time; }
    bool operator<=(CTime other) const { return m_time <= other.m_time; }
    bool operator>=(CTime other) const { return m_time >= other.m_time; }

    // strftime formats as the Windows run-time reads them ("%#d" drops the
    // leading zero, "%c" is "%m/%d/%y %H:%M:%S", "%z" the zone name).
    CString Format(LPCTSTR pFormat) const;
    CString FormatGmt(LPCTSTR pFormat) const;

    time_t m_time;
};

// Archives hold both as 32-bit values.
CArchive& operator<<(CArchive& ar, CTime time);
CArchive& operator>>(CArchive& ar, CTime& rtime);
CArchive& operator<<(CArchive& ar, CTimeSpan span);
CArchive& operator>>(CArchive& ar, CTimeSpan& rspan);
