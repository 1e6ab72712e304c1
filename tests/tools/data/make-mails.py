#!/usr/bin/env python3
"""Writes the mail fixtures of the decode tests with Python's email package:
the text save of tests/tools/data/mailgame.txt (qmxtool encode of the 1000
bytes (i * 7) mod 256) sent as base64, as quoted-printable, and as an HTML
part alone. Run from this folder: python3 make-mails.py"""
from email.message import EmailMessage
from email import policy

text = open('mailgame.txt', 'rb').read().rstrip(b'\0').decode('ascii')
body = 'Your move, Red.\n\n' + text.replace('\r\n', '\n')

def mail(subject):
    m = EmailMessage(policy=policy.SMTP)
    m['From'] = 'Blue <blue@example.org>'
    m['To'] = 'Red <red@example.org>'
    m['Subject'] = subject
    return m

m = mail('QMX turn (base64)')
m.set_content(body, cte='base64')
open('mail-base64.eml', 'wb').write(m.as_bytes())

m = mail('QMX turn (quoted-printable)')
m.set_content(body, cte='quoted-printable')
open('mail-qp.eml', 'wb').write(m.as_bytes())

m = mail('QMX turn (HTML)')
html = '<html><body><p>' + body.replace('&', '&amp;').replace('\n', '<br>\n') + '</p></body></html>'
m.set_content(html, subtype='html', cte='quoted-printable')
open('mail-html.eml', 'wb').write(m.as_bytes())
