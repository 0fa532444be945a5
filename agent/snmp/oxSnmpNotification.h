// The variables of the notification an event raised by a component goes out as: dmiEventIndication
// (dmiNotifications.0.1) with the event's class, time and component, and each event attribute
// whose ID names one of the MIB's event variables (dmiEventVars.<ID>: type 1, severity 2, state
// key 4, associated group 5, system 6, subsystem 7, solution 8, vendor message 10, vendor data 11).
#pragma once
#include "agent/snmp/oxSnmpMib.h"
#include "sp/oxSpRecords.h"
#include <utility>
#include <vector>

using oxSnmpVariables = std::vector<std::pair<oxSnmpOid, oxSnmpValue>>;

// snmpTrapOID.0 first, then the event variables.
oxSnmpVariables oxSnmpEventVariables(const oxSpEvent& event);
