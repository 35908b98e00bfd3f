@echo off
echo Hello from the QInstall demo product.
pause
