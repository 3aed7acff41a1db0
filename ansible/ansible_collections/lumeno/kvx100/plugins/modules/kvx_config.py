#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: 2026 Lumeno-KVX100 Manager developers
# All rights reserved: see LICENSE in the collection lumeno.kvx100.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
---
module: kvx_config
short_description: Converges a Lumeno-KVX100 device to a configuration file or named settings
version_added: "1.0.0"
description:
  - Runs C(kvx100ctl apply) on the controller or wherever the task runs, which reaches the device over TCP.
  - The device is read, only the setting groups that differ are sent, and the device is read again.
  - Only the sections and keys given are managed; every other setting keeps the device's value.
    A list section (C(BIND), C(SERV), C(ROUTE)) is managed only when it holds its C(SUM) key.
  - In check mode nothing that changes the device is sent; the result says what would change.
  - With C(--diff) the settings found different are shown, one C([GROUP] item = value) line each.
options:
  src:
    description:
      - A configuration file in the backup's form (as C(kvx100ctl backup) writes it), whole or holding
        only some sections and keys, on the host the task runs on.
      - Exactly one of I(src), I(content) and I(settings) is required.
    type: path
  content:
    description:
      - The text of such a configuration file, for example rendered by the C(template) lookup, so that
        nothing has to be written beside the playbook. Lines may end in LF or CR LF.
    type: str
  settings:
    description:
      - Sections, each a dictionary of key to value, written into a configuration file for the run,
        for example C(MAXDT) with C(Maxdt=7) and C(BTNAME) with C(Btname=Dock-1).
      - A boolean value is written as C(on) or C(off); quote values that must stay as written.
    type: dict
  replace:
    description:
      - Also removes bound devices, servers and routes that a managed list section does not hold.
    type: bool
    default: false
extends_documentation_fragment:
  - lumeno.kvx100.connection
attributes:
  check_mode:
    description: Reads the device and reports what would change; sends nothing that changes it.
    support: full
  diff_mode:
    description: Shows each differing setting, the device's value before and the file's after.
    support: full
notes:
  - Supports C(check_mode) and C(diff_mode).
seealso:
  - module: lumeno.kvx100.kvx_info
  - module: lumeno.kvx100.kvx_backup
author:
  - Lumeno-KVX100 Manager developers (!UNKNOWN)
"""

EXAMPLES = r"""
- name: Converge a device to a rendered file
  lumeno.kvx100.kvx_config:
    host: 192.0.2.10:9100
    password: "{{ vault_kvx_password }}"
    src: /var/lib/kvx/dock-1.kcf

- name: Converge a device to a file rendered from a template, writing nothing on the controller
  lumeno.kvx100.kvx_config:
    host: "{{ kvx_host }}"
    password: "{{ vault_kvx_password }}"
    content: "{{ lookup('ansible.builtin.template', 'templates/dock.kcf.j2') }}"

- name: Set two values by name, leaving everything else as it is
  lumeno.kvx100.kvx_config:
    host: 192.0.2.10
    password_file: /etc/kvx/password
    settings:
      MAXDT:
        Maxdt: 7
      BTNAME:
        Btname: Dock-1

- name: Make the bound devices exactly these, removing any others
  lumeno.kvx100.kvx_config:
    host: 192.0.2.10
    password_file: /etc/kvx/password
    replace: true
    settings:
      BIND:
        0Name: "00:1B:DC:0F:B1:01"
        0Port: 9101
        SUM: 1
"""

RETURN = r"""
status:
  description: C(changed), C(unchanged) or C(failed); in check mode C(changed) means it would change.
  returned: when kvx100ctl reported on the device
  type: str
  sample: changed
groups:
  description: The setting groups changed (in check mode, that would change).
  returned: when kvx100ctl reported on the device
  type: list
  elements: str
  sample: [MAXDT, BTNAME]
differences:
  description:
    - What differed before anything was sent. For a list entry C(device) and C(file) hold the entry's
      text, or null on the side that lacks it.
  returned: when kvx100ctl reported on the device
  type: list
  elements: dict
  sample: [{group: MAXDT, item: Maxdt, device: "3", file: "7"}]
step:
  description: The step kvx100ctl was at when it stopped.
  returned: when kvx100ctl reported on the device
  type: str
  sample: apply
messages:
  description: The device's failure messages.
  returned: when kvx100ctl reported on the device
  type: list
  elements: str
  sample: []
sent:
  description:
    - The setting lines the device accepted, in the order sent. A run that failed after some were
      accepted reports C(changed) true.
  returned: when kvx100ctl reported on the device
  type: list
  elements: str
  sample: ["maxdt 7;"]
"""

import os

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.lumeno.kvx100.plugins.module_utils.kvx100ctl import (
    device_report,
    CONNECTION_MUTUALLY_EXCLUSIVE,
    CONNECTION_REQUIRED_ONE_OF,
    connection_argument_spec,
    kvx100ctl_command,
    private_file,
    run_kvx100ctl,
)


def _text(value):
    if isinstance(value, bool):
        return "on" if value else "off"
    if value is None:
        return ""
    return str(value)


def settings_text(settings):
    """The backup's form of the given sections: CR LF lines, a blank line after each section."""
    lines = []
    for section, keys in settings.items():
        section = _text(section)
        if not section or any(c in section for c in "[]\r\n"):
            raise ValueError("the section name %r cannot be written into a configuration file" % section)
        if not isinstance(keys, dict):
            raise ValueError("the section %s must be a dictionary of key to value" % section)
        lines.append("[%s]" % section)
        for key, value in keys.items():
            key, value = _text(key), _text(value)
            if not key or any(c in key for c in "=\r\n"):
                raise ValueError("the key %r of section %s cannot be written into a configuration file" % (key, section))
            # The same gate kvx100ctl runs on every file it sends from, named here by the setting
            # rather than by the module's temporary file.
            if any(c == ";" or ord(c) < 0x20 or ord(c) == 0x7F for c in value):
                raise ValueError("settings.%s.%s holds \";\" or a control character, which cannot be sent; "
                                 "nothing was sent" % (section, key))
            lines.append("%s=%s" % (key, value))
        lines.append("")
    return "".join(line + "\r\n" for line in lines)


def diff_texts(differences):
    """One "[GROUP] item = value" line per difference on each side; a side lacking an entry shows no line."""
    before, after = [], []
    for entry in differences:
        label = "[%s] %s = " % (entry.get("group", ""), entry.get("item", ""))
        if entry.get("device") is not None:
            before.append(label + entry["device"] + "\n")
        if entry.get("file") is not None:
            after.append(label + entry["file"] + "\n")
    return "".join(before), "".join(after)


def main():
    argument_spec = connection_argument_spec()
    argument_spec.update(
        src=dict(type="path"),
        content=dict(type="str"),
        settings=dict(type="dict"),
        replace=dict(type="bool", default=False),
    )
    module = AnsibleModule(
        argument_spec=argument_spec,
        mutually_exclusive=CONNECTION_MUTUALLY_EXCLUSIVE + [("src", "content", "settings")],
        required_one_of=CONNECTION_REQUIRED_ONE_OF + [("src", "content", "settings")],
        supports_check_mode=True,
    )
    params = module.params
    host = params["host"]

    if params["settings"] is not None:
        try:
            text = settings_text(params["settings"])
        except ValueError as e:
            module.fail_json(msg=str(e))
        config_file = private_file(module.tmpdir, "settings.kcf", text)
    elif params["content"] is not None:
        config_file = private_file(module.tmpdir, "content.kcf", params["content"])
    else:
        config_file = os.path.abspath(params["src"])

    arguments = [config_file, host, "--json"]
    if module.check_mode:
        arguments.append("--check")
    if params["replace"]:
        arguments.append("--replace")
    rc, out, err = run_kvx100ctl(module, kvx100ctl_command(module, "apply", arguments))
    report, ok = device_report(module, rc, out, err)
    # A device that failed before it was compared has no status of its own.
    status = report.get("status", "failed") if ok else "failed"

    result = dict(
        status=status,
        groups=report.get("groups", []),
        differences=report.get("differences", []),
        step=report.get("step", ""),
        messages=report.get("messages", []),
        sent=report.get("sent", []),
    )
    if status not in ("changed", "unchanged"):
        detail = "; ".join(result["messages"]) or err.strip()
        # A run that failed after the device took some lines has changed it all the same.
        module.fail_json(msg="%s: %s failed: %s" % (host, result["step"], detail), rc=rc,
                         changed=report.get("changed", False) is True, **result)

    if module._diff:
        before, after = diff_texts(result["differences"])
        result["diff"] = dict(before=before, after=after,
                              before_header="%s (device)" % host,
                              after_header=params["src"] or ("content" if params["content"] is not None else "settings"))
    module.exit_json(changed=status == "changed", **result)


if __name__ == "__main__":
    main()
