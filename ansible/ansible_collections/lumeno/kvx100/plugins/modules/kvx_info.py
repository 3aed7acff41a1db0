#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: 2026 Lumeno-KVX100 Manager developers
# All rights reserved: see LICENSE in the collection lumeno.kvx100.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: kvx_info
short_description: Reads a Lumeno-KVX100 device's identity, operation mode and live links
version_added: "1.1.0"
description:
  - Runs C(kvx100ctl info --json) where the task runs, usually the controller, and returns what the
    device tells of itself, its operation mode, its Bluetooth settings and its live Bluetooth links.
  - It only reads; it never changes the device and runs in check mode as in any other.
options: {}
extends_documentation_fragment:
  - lumeno.kvx100.connection
attributes:
  check_mode:
    description: Reads the device as in a normal run; it changes nothing either way.
    support: full
  diff_mode:
    description: Nothing to show; it changes nothing.
    support: none
notes:
  - Supports C(check_mode).
seealso:
  - module: lumeno.kvx100.kvx_config
author:
  - Lumeno-KVX100 Manager developers (!UNKNOWN)
"""

EXAMPLES = r"""
- name: What each dock is and does
  lumeno.kvx100.kvx_info:
    host: "{{ kvx_host }}"
    password: "{{ vault_kvx_password }}"
  register: dock

- name: Docks in another mode than Server
  ansible.builtin.debug:
    msg: "{{ dock.identity.name }} runs in {{ dock.mode }} mode with {{ dock.links | length }} links"
  when: dock.mode != "server"
"""

RETURN = r"""
identity:
  description:
    - What the device tells of itself. A value the device did not tell is null.
  returned: success
  type: dict
  contains:
    product:
      description: The product name from the discovery answer.
      type: str
    model:
      description: The model code from the discovery answer.
      type: str
    serial:
      description: The serial number from the discovery answer.
      type: str
    mac:
      description: The MAC address from the discovery answer.
      type: str
    bluetooth:
      description: The device's Bluetooth address from the discovery answer.
      type: str
    ip:
      description: The device's IP address.
      type: str
    port:
      description: The device's TCP control port.
      type: int
    firmware:
      description: The firmware version.
      type: str
    name:
      description: The Bluetooth name.
      type: str
  sample: {product: KVX100, model: KVX-100B, serial: KVX00001, mac: "00:1D:5C:00:00:01", bluetooth: "00:1B:DC:00:00:01",
           ip: 192.0.2.10, port: 9000, firmware: 2.1.0, name: Dock-1}
mode:
  description: The operation mode, C(server), C(client), C(vertex), C(repeater), C(hub) or C(rs232).
  returned: success
  type: str
  sample: server
settings:
  description: The Bluetooth settings, as C(kvx100ctl info) reads them; a value the device sent that
    has no meaning is null.
  returned: success
  type: dict
  sample: {maxdt: 7, link_timeout: 20, discoverable: true, connectable: true, security: low, pairable: true}
links:
  description: The live Bluetooth links, as the Connections page lists them.
  returned: success
  type: list
  elements: dict
  contains:
    address:
      description: The peer's Bluetooth address.
      type: str
    name:
      description: The peer's name.
      type: str
    quality:
      description: The link quality the device reports; 200 and below is poor.
      type: int
    signal:
      description: The signal strength the device reports; below -8 is poor.
      type: int
    transmitted:
      description: The device's Tx count for the link.
      type: int
    received:
      description: The device's Rx count for the link.
      type: int
  sample: [{address: "00:1B:DC:0F:A1:01", name: Scanner-1, quality: 242, signal: -2, transmitted: 13280, received: 20738}]
"""


from ansible.module_utils.basic import AnsibleModule
from ansible_collections.lumeno.kvx100.plugins.module_utils.kvx100ctl import (
    device_report,
    CONNECTION_MUTUALLY_EXCLUSIVE,
    CONNECTION_REQUIRED_ONE_OF,
    connection_argument_spec,
    kvx100ctl_command,
    run_kvx100ctl,
)

# The members of kvx100ctl's info report, by the part of the result they belong to.
IDENTITY = ("product", "model", "serial", "mac", "bluetooth", "ip", "port", "firmware", "name")
SETTINGS = ("maxdt", "link_timeout", "discoverable", "connectable", "security", "pairable")


def device_result(report):
    """The module's result from one device's report of kvx100ctl info --json."""
    return dict(
        identity=dict((key, report.get(key)) for key in IDENTITY),
        mode=report.get("mode"),
        settings=dict((key, report.get(key)) for key in SETTINGS),
        links=report.get("links", []),
    )


def main():
    module = AnsibleModule(
        argument_spec=connection_argument_spec(),
        mutually_exclusive=CONNECTION_MUTUALLY_EXCLUSIVE,
        required_one_of=CONNECTION_REQUIRED_ONE_OF,
        supports_check_mode=True,
    )
    host = module.params["host"]
    rc, out, err = run_kvx100ctl(module, kvx100ctl_command(module, "info", [host, "--json"]))
    report, ok = device_report(module, rc, out, err)
    if not ok:
        detail = "; ".join(report.get("messages", [])) or err.strip()
        module.fail_json(msg="%s: %s failed: %s" % (host, report.get("step", ""), detail), rc=rc,
                         step=report.get("step", ""), messages=report.get("messages", []))
    module.exit_json(changed=False, **device_result(report))


if __name__ == "__main__":
    main()
