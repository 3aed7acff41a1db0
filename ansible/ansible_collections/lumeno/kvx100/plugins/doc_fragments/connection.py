# -*- coding: utf-8 -*-
# Copyright: 2026 Lumeno-KVX100 Manager developers
# All rights reserved: see LICENSE in the collection lumeno.kvx100.

from __future__ import absolute_import, division, print_function

__metaclass__ = type


class ModuleDocFragment(object):
    # The device and the login, as every module of the collection takes them.
    DOCUMENTATION = r"""
options:
  host:
    description:
      - The device as C(HOST) or C(HOST:PORT); without a port the device's discovery answer gives it.
    type: str
    required: true
  user:
    description: The user ID to log in with.
    type: str
    default: admin
  password:
    description:
      - The login password. It is handed to kvx100ctl in a file only the module's user can read,
        never on a command line.
      - Exactly one of I(password) and I(password_file) is required.
    type: str
  password_file:
    description:
      - A file whose first line is the login password, on the host the task runs on. kvx100ctl reads
        it only if it is a regular file of the task's user that nobody else may read or write.
    type: path
  discovery_port:
    description: The UDP port of the discovery request, used when I(host) names no port.
    type: int
  timeout:
    description: Seconds to wait for each connect, from 0.001 to 3600.
    type: float
  executable:
    description: The path of kvx100ctl; by default it is looked up on C(PATH).
    type: path
requirements:
  - kvx100ctl on the host the task runs on, usually the controller (C(ansible_connection=local)),
    since the device is reached over TCP
"""
